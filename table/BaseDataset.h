#pragma once
// A dataset whose records live outside the data framework. The base does the
// framework's side once (buffer layout, bookmarks, the exchange of field data,
// blob streams, record filtering, posting, adding and deleting); a derived class
// supplies the storage through the store operations below.
//
// A record buffer is one block of RecordSize bytes in three areas:
//   1. field data, DataSize bytes: each data field's slot at FieldOffset, in the
//      order of FieldNames;
//   2. TRecordInfo: the record's identity, the bookmark copy, the bookmark flag;
//   3. the calculated-field area at CalcOffset: per computed field a has-value
//      byte followed by its data.
// Slots: string size + 1 (zero-terminated); integer, small integer, date (whole
// day count), time (milliseconds of the day) 4; boolean 2; float, currency, BCD,
// date-time (the date serial number) 8; memo and graphic 4, a handle of the
// stream the buffer owns for the field (0 is none).

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "table/DataSet.h"

// A value as the store reads or writes it.
using TQvValue = std::variant<std::monostate, std::string, std::int32_t, bool, double>;
using TStepResult = TGetResult;
using TStepMode = TGetMode;

// The record-info block of a buffer.
struct TRecordInfo {
    std::int32_t RecordId = 0;       // the record's identity when it was loaded
    std::byte* Bookmark = nullptr;  // the buffer's bookmark copy, or nullptr; owned by the buffer
    std::uint8_t BookmarkFlag = 0;
};

// A buffer with what its layout refers to: the streams of its blob fields and its bookmark copy.
class TQvRecordBuffer : public TRecordBuffer {
public:
    using TRecordBuffer::TRecordBuffer;
    std::vector<std::unique_ptr<TMemoryStream>> Streams;  // owned; slot handle k is entry k - 1
    std::unique_ptr<std::byte[]> BookmarkCopy;            // owned
};

class TQvBaseDataset : public TDataSet {
public:
    TQvBaseDataset();
    ~TQvBaseDataset() override;

    // The field names in field order, rebuilt at every open.
    const std::vector<std::string>& FieldNames() const { return FFieldNames; }
    bool CursorOpen() const { return FCursorOpen; }
    std::size_t CalcOffset() const { return FCalcOffset; }
    // The sum of the slot sizes of all defined fields.
    virtual std::size_t DataSize() const { return FDataSize; }
    // Where the field's slot starts in a buffer.
    virtual std::size_t FieldOffset(const TField& field) const;
    // The buffer fields read and write in the current state, or nullptr.
    virtual TRecordBuffer* CurrentBuffer() const;
    // The buffer's stream for a blob field, or nullptr.
    TMemoryStream* BufferStream(const TRecordBuffer& buffer, const TField& field) const;
    TRecordInfo RecordInfo(const TRecordBuffer& buffer) const;

    std::unique_ptr<TMemoryStream> CreateBlobStream(TField& field, TBlobStreamMode mode) override;
    // Switches filtering and goes to the first record.
    void SetFiltered(bool filtered) override;

protected:
    // ---- the store ----
    // Prepares the store for reading; false when it cannot.
    virtual bool OpenStore() = 0;
    virtual void CloseStore() = 0;
    virtual void DeleteCurrent() {}
    // Adds the store's field definitions to FieldDefs.
    virtual void DefineFields() = 0;
    virtual TQvValue ReadFieldValue(const TField& field) = 0;
    virtual void WriteFieldValue(const TField& field, const TQvValue& value) = 0;
    // Writes the content of a blob field into stream.
    virtual void ReadBlob(const TField& field, std::ostream& stream) = 0;
    // Takes the whole content of stream as the blob field's content.
    virtual void WriteBlob(const TField& field, std::istream& stream) = 0;
    virtual void BeginRead() {}
    virtual void EndRead() {}
    virtual void BeginWrite(bool /*inserting*/) {}
    virtual void EndWrite(bool /*inserting*/) {}
    virtual std::int32_t CurrentRecordId() = 0;
    virtual void ReleaseRecordId(std::int32_t id) = 0;
    virtual void MoveToRecordId(std::int32_t id) = 0;
    virtual std::size_t BookmarkLength() const { return 0; }
    virtual void MoveToBookmark(const std::byte* bookmark) = 0;
    virtual void FillBookmark(std::int32_t id, std::byte* bookmark) = 0;
    virtual void MoveBeforeFirst() = 0;
    virtual void MoveAfterLast() = 0;
    virtual TStepResult Step(TStepMode mode) = 0;
    virtual void CreateBlobStreams(TRecordBuffer& buffer);
    virtual void FreeBlobStreams(TRecordBuffer& buffer);
    virtual void ReleaseBufferExtras(TRecordBuffer& buffer);
    // Hands every data field of buffer to WriteFieldValue or WriteBlob.
    virtual void StoreBuffer(TRecordBuffer& buffer);
    // Fills buffer with the record at the cursor.
    virtual void LoadBuffer(TRecordBuffer& buffer);

    // ---- the framework's requests ----
    void OpenCursor() override;
    void CloseCursor() override;
    bool IsCursorOpen() const override { return FCursorOpen; }
    std::size_t RecordSize() const override;
    std::unique_ptr<TRecordBuffer> AllocateRecordBuffer() override;
    void FreeRecordBuffer(std::unique_ptr<TRecordBuffer>& buffer) override;
    void InitialiseRecordBuffer(TRecordBuffer& buffer) override;
    TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool check) override;
    void CursorToFirst() override { MoveBeforeFirst(); }
    void CursorToLast() override { MoveAfterLast(); }
    void CursorToBookmark(const TBookmark& bookmark) override { MoveToBookmark(bookmark.data()); }
    void CursorToRecord(const TRecordBuffer& buffer) override;
    std::size_t BookmarkSize() const override { return BookmarkLength(); }
    void GetBookmarkData(const TRecordBuffer& buffer, std::byte* destination) override;
    void SetBookmarkData(TRecordBuffer& buffer, const std::byte* source) override;
    TBookmarkFlag GetBookmarkFlag(const TRecordBuffer& buffer) const override;
    void SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag) override;
    bool GetFieldData(const TField& field, void* destination) const override;
    void SetFieldData(TField& field, const void* source) override;
    void ClearCalcFields(TRecordBuffer& buffer) override;
    void BeginEditing() override;
    void PostRecord() override;
    void AddRecord(TRecordBuffer& buffer, bool append) override;
    void DeleteRecord() override { DeleteCurrent(); }

private:
    // A data field and where its slot lies, in field order.
    struct TSlot {
        const TField* Field;  // not owned
        TFieldType Type;
        std::size_t Offset;
        std::size_t Size;  // characters of a string field
    };

    // FieldNames, the slot offsets, DataSize and CalcOffset from the bound fields;
    // raises when a record would pass MaxRecordSize.
    void BuildLayout();
    void ClearLayout();
    void WriteRecordInfo(TRecordBuffer& buffer, const TRecordInfo& info) const;
    // The filter handler's verdict on the record at the cursor.
    bool FilterAccepts();
    void StoreValue(TRecordBuffer& buffer, const TSlot& slot, const TQvValue& value) const;

    std::vector<std::string> FFieldNames;
    std::vector<std::size_t> FOffsets;  // slot offset per definition
    std::vector<TSlot> FSlots;
    bool FCursorOpen = false;
    std::size_t FDataSize = 0;
    std::size_t FCalcOffset = 0;
};

// The stream a blob field of a TQvBaseDataset hands out. It starts with the
// content of the current buffer's stream for the field (empty in write mode);
// when it was written to, it gives its content back to that stream as it is
// destroyed.
class TQvBlobStream : public TMemoryStream {
public:
    TQvBlobStream(TField& field, TBlobStreamMode mode);
    ~TQvBlobStream() override;

    TField& Field() const { return FField; }
    TQvBaseDataset& DataSet() const { return FDataSet; }
    TBlobStreamMode Mode() const { return FMode; }
    bool Modified() const { return FBuffer.Written(); }

private:
    TField& FField;             // not owned
    TQvBaseDataset& FDataSet;  // not owned
    TBlobStreamMode FMode;
};

// Bytes a data field of that type and size takes in the field data area.
std::size_t FieldSlotSize(TFieldType dataType, int size);
// Raises EDatabaseError when records of that many bytes pass MaxRecordSize.
void CheckRecordSize(std::size_t recordSize);

// Conversions of store values to the slot types; values that do not convert give 0, false or "".
std::string QvValueText(const TQvValue& value);
std::int32_t QvValueInt32(const TQvValue& value);
bool QvValueBoolean(const TQvValue& value);
double QvValueDouble(const TQvValue& value);
