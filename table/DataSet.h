#pragma once
// The dataset base of the data framework: states, a window of record buffers
// around the active record, navigation, editing, bookmarks, filtering,
// calculated fields and notifications. A derived class keeps the records and
// answers the requests declared protected below.
//
// The window holds up to BufferCount consecutive records, one of them active;
// fields read and write the current buffer (the active one while browsing or
// editing, the temporary one while filtering, the one being computed while
// calculating fields). Every buffer has the size RecordSize reports.

#include <cstddef>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/DataFields.h"
#include "table/DataTypes.h"
#include "table/DatasetNotifications.h"
#include "table/MemoryStream.h"

// One record buffer: a block of bytes laid out by the dataset that made it.
// Derived datasets may derive from it to own what their layout refers to.
class TRecordBuffer {
public:
    explicit TRecordBuffer(std::size_t size) : FBytes(size) {}
    TRecordBuffer(const TRecordBuffer&) = delete;
    TRecordBuffer& operator=(const TRecordBuffer&) = delete;
    virtual ~TRecordBuffer() = default;

    std::byte* Data() { return FBytes.data(); }
    const std::byte* Data() const { return FBytes.data(); }
    std::size_t Size() const { return FBytes.size(); }

private:
    std::vector<std::byte> FBytes;
};

class TDataSet {
public:
    using TFilterRecordEvent = std::function<void(TDataSet& dataSet, bool& accept)>;
    using TCalcFieldsEvent = std::function<void(TDataSet& dataSet)>;
    using TExceptionHandler = std::function<void(const std::string& message)>;

    TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;
    // Releases the buffers without asking the derived class anything: a derived
    // class closes the dataset in its own destructor.
    virtual ~TDataSet();

    TDataSetState State() const { return FState; }
    bool Active() const { return FState != TDataSetState::dsInactive; }
    // Opens the cursor, creates default fields when no field objects exist, binds
    // the fields and goes to the first record. Raises EDatabaseError, and stays
    // closed, when the cursor does not open.
    void Open();
    // Discards a pending edit, releases the buffers and closes the cursor.
    void Close();
    void SetActive(bool active) { active ? Open() : Close(); }

    TFieldDefs& FieldDefs() { return FFieldDefs; }
    const TFieldDefs& FieldDefs() const { return FFieldDefs; }
    const TFields& Fields() const { return FFields; }
    TField* FindField(std::string_view name) const { return FFields.FindField(name); }
    // Raises 'Field "name" not found' when there is none.
    TField& FieldByName(std::string_view name) const;
    // A persistent field object, made while the dataset is closed; a data field
    // must match a definition when the dataset opens.
    TField& CreateField(std::string name, TFieldType dataType, int size = 0,
                        TFieldKind kind = TFieldKind::fkData);
    // True while the field objects are the ones made from the definitions at open;
    // those go when the dataset closes, so references to them must not outlive it.
    bool DefaultFields() const { return FDefaultFields; }

    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves the active record; returns how far it moved.
    int MoveBy(int distance);
    // True after First, or after a move that tried to go before the first record.
    bool Bof() const { return FBof; }
    // True after Last, or after a move that tried to go past the last record.
    bool Eof() const { return FEof; }
    // No record in the window (an empty table, or a filter that accepts none).
    bool IsEmpty() const { return FRecordCount == 0; }
    // The dataset's numbering of the active record (1-based); -1 when it has none.
    int RecNo();
    void SetRecNo(int recNo);
    // The number of stored records; -1 when the dataset cannot tell.
    int RecordCount() const;

    // Begins changing the active record (a new one in an empty dataset), read
    // again from the store; raises "No Records" when the store no longer has it.
    void Edit();
    // Begins a new record at the active position.
    void Insert();
    // Begins a new record after the last.
    void Append();
    // Writes the record being edited or inserted.
    void Post();
    // Drops the changes of the record being edited or inserted.
    void Cancel();
    // Deletes the active record (drops a record being inserted).
    void Delete();
    // Reads the window again from the store.
    void Refresh();
    // True once a field of the record being edited or inserted received a value.
    bool Modified() const { return FModified; }
    // True when records may be inserted, edited and deleted.
    bool CanModifyRecords() const { return CanModify(); }
    // Posts a change that has values and drops one that has none.
    void CheckBrowseMode();

    // A bookmark of the active record; empty when it has none (a new record).
    TBookmark GetBookmark();
    // Makes the bookmarked record active; raises "Record not found" and keeps the
    // active record when the store does not have it.
    void GotoBookmark(const TBookmark& bookmark);

    bool Filtered() const { return FFiltered; }
    // Switches filtering by the record-filter handler on or off.
    virtual void SetFiltered(bool filtered);
    void SetOnFilterRecord(TFilterRecordEvent handler) { FOnFilterRecord = std::move(handler); }
    const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
    void SetOnCalcFields(TCalcFieldsEvent handler) { FOnCalcFields = std::move(handler); }

    // A stream over the content of a blob field of the current record; a stream
    // opened for writing hands its content to the record when it is destroyed.
    virtual std::unique_ptr<TMemoryStream> CreateBlobStream(TField& field, TBlobStreamMode mode);

    // The number of buffers in the window (at least 1).
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int count);
    // Records in the window, and the row of the active one.
    int WindowCount() const { return FRecordCount; }
    int ActiveRecord() const { return FActiveRecord; }

    // Lets the fields read another row of the window for as long as it lives, as
    // a grid does when it paints its rows; fields cannot be given values meanwhile.
    class TRowScope {
    public:
        TRowScope(TDataSet& dataSet, int row);
        TRowScope(const TRowScope&) = delete;
        TRowScope& operator=(const TRowScope&) = delete;
        ~TRowScope();

    private:
        TDataSet& FDataSet;  // not owned
        int FSavedRow;
        bool FSavedReading;
    };

    void AttachObserver(TDataSetObserver& observer);
    void DetachObserver(TDataSetObserver& observer);

    // Reads the window again around the record the cursor stands on (the next,
    // else the prior one when that record is gone or filtered out).
    void Resync();
    // Puts the store's cursor on the active record.
    void PutCursorOnActiveRecord();

    // What becomes of errors that a handler raises inside the dataset's own work
    // (the record-filter handler); by default the message goes to standard error.
    static void SetApplicationExceptionHandler(TExceptionHandler handler);

protected:
    // ---- requests the derived class answers ----
    // Opens the store and defines the fields; IsCursorOpen tells whether it worked.
    virtual void OpenCursor() = 0;
    virtual void CloseCursor() = 0;
    virtual bool IsCursorOpen() const = 0;
    // Why the cursor did not open.
    virtual std::string CursorNotOpenMessage() const { return "Cannot open the dataset"; }
    virtual std::size_t RecordSize() const = 0;
    virtual std::unique_ptr<TRecordBuffer> AllocateRecordBuffer() = 0;
    virtual void FreeRecordBuffer(std::unique_ptr<TRecordBuffer>& buffer) = 0;
    // Prepares a buffer for a new record.
    virtual void InitialiseRecordBuffer(TRecordBuffer& buffer) = 0;
    // Fetches the record mode names into buffer; with check, a missing current
    // record raises instead of giving grError.
    virtual TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool check) = 0;
    virtual void CursorToFirst() = 0;  // before the first record
    virtual void CursorToLast() = 0;   // after the last record
    virtual void CursorToBookmark(const TBookmark& bookmark) = 0;
    virtual void CursorToRecord(const TRecordBuffer& buffer) = 0;
    virtual std::size_t BookmarkSize() const { return 0; }
    virtual void GetBookmarkData(const TRecordBuffer& buffer, std::byte* destination) = 0;
    virtual void SetBookmarkData(TRecordBuffer& buffer, const std::byte* source) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(const TRecordBuffer& buffer) const = 0;
    virtual void SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag) = 0;
    virtual bool GetFieldData(const TField& field, void* destination) const = 0;
    virtual void SetFieldData(TField& field, const void* source) = 0;
    virtual void ClearCalcFields(TRecordBuffer& buffer) = 0;
    virtual void BeginEditing() {}
    virtual void BeginInserting() {}
    // Writes the record being edited or inserted. After a new record is written
    // the cursor stands just before it, so that the next record is the new one.
    virtual void PostRecord() = 0;
    // Writes buffer as a new record, after the last one when append is set; the
    // cursor is left as PostRecord leaves it.
    virtual void AddRecord(TRecordBuffer& buffer, bool append) = 0;
    virtual void DeleteRecord() = 0;
    virtual void HandleException(const std::exception_ptr& error);
    virtual bool CanModify() const { return false; }
    virtual int GetRecordCount() const { return -1; }
    virtual int GetRecordNumber() { return -1; }
    virtual void SetRecordNumber(int) {}

    // ---- services for the derived class ----
    TRecordBuffer* ActiveBuffer() const;
    TRecordBuffer* TempBuffer() const { return FTempBuffer.get(); }
    TRecordBuffer* CalcBuffer() const { return FCalcBuffer; }
    // Bytes of the calculated-field area: a has-value byte and the data of each computed field.
    std::size_t CalcFieldsSize() const { return FCalcFieldsSize; }
    // Makes field objects from the definitions when the dataset has none.
    void CreateDefaultFields();
    void DestroyDefaultFields();
    // Ties data fields to their definitions and places the computed fields; raises
    // EDatabaseError for a data field without a matching definition.
    void BindFields(bool binding);
    // Runs the calculated-fields handler for buffer.
    void CalculateFields(TRecordBuffer& buffer);
    // Tells the observers that a field received a value (not while calculating,
    // filtering or giving a new value) and marks the record modified.
    void NotifyFieldChanged(TField& field);

    // Switches the state for the life of the guard without telling observers;
    // the old state comes back on every path, errors included.
    class TTempState {
    public:
        TTempState(TDataSet& dataSet, TDataSetState state, TRecordBuffer* calcBuffer = nullptr);
        TTempState(const TTempState&) = delete;
        TTempState& operator=(const TTempState&) = delete;
        ~TTempState();

    private:
        TDataSet& FDataSet;  // not owned
        TDataSetState FSaved;
        TRecordBuffer* FSavedCalc;  // not owned
    };

private:
    friend class TField;

    void CheckActive() const;
    // Raises while a handler computes fields or filters records.
    void CheckNotBusy() const;
    void CheckCanModify() const;
    // Raises unless the field may receive a value now.
    void CheckFieldWritable(const TField& field) const;
    void SetState(TDataSetState state);
    void AllocateBuffers();
    void FreeBuffers();
    TRecordBuffer& Buffer(int index) const { return *FBuffers[static_cast<std::size_t>(index)]; }
    // Fetches into the spare buffer and adds it at the end (front: at the start)
    // of the window, dropping the row at the other end when the window is full.
    bool FetchToBack();
    bool FetchToFront();
    // Fetches the record the modes give, in order of preference, and builds the
    // window around it with the active record at row (when enough records come
    // before it). False, and the window untouched, when no mode gives a record.
    bool FillWindow(std::initializer_list<TGetMode> modes, int row);
    // Initialises the spare buffer for a new record.
    TRecordBuffer& PrepareNewRecord(TBookmarkFlag flag);
    // Enters the insert state once the new record is the active one.
    void BeginNewRecord();
    // Fills the window from the first record on, as First does.
    void FillFromFirst();
    // Re-reads the window around the active record after a change; an empty window when none is left.
    void RefillAroundActive();
    void ClearWindow();
    // No records: the window is empty and both ends are reached.
    void EmptyWindow();
    void NotifyDataChanged();
    void NotifyStateChanged();
    void NotifyScrolled(int distance);
    template <class Event>
    void Notify(Event event);

    TDataSetState FState = TDataSetState::dsInactive;
    TFieldDefs FFieldDefs;
    TFields FFields;
    bool FDefaultFields = false;
    std::size_t FCalcFieldsSize = 0;
    int FCalcFieldCount = 0;

    // The window: entries [0, FRecordCount) hold records in order, the others are
    // free; the last entry is the spare that fetches land in.
    std::vector<std::unique_ptr<TRecordBuffer>> FBuffers;  // owned
    std::unique_ptr<TRecordBuffer> FTempBuffer;            // owned
    TRecordBuffer* FCalcBuffer = nullptr;                  // not owned; the buffer being computed
    int FBufferCount = 1;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    bool FBof = true;
    bool FEof = true;
    bool FModified = false;
    bool FReadingRow = false;

    bool FFiltered = false;
    TFilterRecordEvent FOnFilterRecord;
    TCalcFieldsEvent FOnCalcFields;
    std::vector<TDataSetObserver*> FObservers;  // not owned
};
