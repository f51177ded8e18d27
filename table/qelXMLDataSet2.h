#pragma once
// An XML file that holds a table, presented as a dataset with typed fields.
//
// The file is a document whose root element may have any name. Two of its
// children are used, each the first child of its name:
//   "fields": one child per field, in field order. The child's name is the
//             field name; "type" names the type (string when missing or
//             unknown); "size" is the length of a string field in decimal (30
//             when missing or not a decimal integer).
//   "rows":   one child per record, whatever its name ("row" for new ones). A
//             field's value is the text of the record's first child named like
//             the field; a record without one has an empty value.
// Everything else in the document stays and is written back unchanged. The
// file is rewritten whole whenever the table closes while it names a file.
//
// Stored forms: integers in decimal; Booleans "1" (true) and anything else
// (false), written "1" or "0"; floats in the general 15-digit form with the
// program's decimal separator; dates "yyyy-mm-dd"; date-times "yyyy-mm-dd" at
// midnight and "yyyy-mm-dd hh:nn:ss" otherwise. Text that does not convert
// reads as 0, false or day 0.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/qelXMLParser2.h"
#include "table/BaseDataset.h"

class TqelXMLDataSet2 : public TQvBaseDataset {
public:
    TqelXMLDataSet2();
    // Closes the table first, which writes the file when it exists; a failure to
    // write is lost here, so callers that care close the table themselves.
    ~TqelXMLDataSet2() override;

    const std::string& XMLFile() const { return FXMLFile; }
    // Loads the table file while the table is closed. Raises EDatabaseError for an
    // open table, a name of no existing file, or a file with a syntax error, and
    // then nothing changes. An empty name is stored and then fails to load with the
    // file error. A successful load replaces TableDoc.
    void SetXMLFile(const std::string& value);
    // While true the table cannot be edited.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }

    // Appends a field definition and reopens the table (the close writes the file;
    // the reopened table keeps XMLFile). Raises EDatabaseError, changing nothing, for a
    // name that is empty, cannot be an element name or is taken, for a string size
    // below 1, and for records that would pass the size limit. Does nothing when
    // the document has no "fields" element.
    void AddField(const std::string& name, TFieldType dataType, int size);
    // Removes a field definition and reopens the table; the values stay in the
    // records. Nothing happens when there is no such field.
    void DeleteField(const std::string& name);
    // Renames and retypes a field definition, renames and converts the stored
    // values in every record, and reopens the table. False, and nothing changes,
    // when there is no field oldName; raises as AddField does for the new name,
    // type and size.
    bool ChangeField(const std::string& oldName, const std::string& newName, TFieldType dataType, int size);
    // Writes the document to XMLFile; false, writing nothing, when it names no existing file.
    bool SaveTable();
    // Closes the table without writing the file; XMLFile is empty afterwards, as
    // after any close.
    void CloseWithoutSaving();

    TqelXMLParser2& TableDoc() const { return *FTableDoc; }
    TqelXMLNode2* RowsElement() const { return FRowsElement; }
    TqelXMLNode2* FieldsElement() const { return FFieldsElement; }
    // -1 before the first record, 0 to RecordCount - 1 on a record, RecordCount after the last.
    int CursorIndex() const { return FCursorIndex; }

protected:
    bool OpenStore() override;
    void CloseStore() override;
    std::string CursorNotOpenMessage() const override;
    void DeleteCurrent() override;
    void DefineFields() override;
    TQvValue ReadFieldValue(const TField& field) override;
    void WriteFieldValue(const TField& field, const TQvValue& value) override;
    void ReadBlob(const TField& field, std::ostream& stream) override;
    void WriteBlob(const TField& field, std::istream& stream) override;
    void BeginRead() override;
    void EndRead() override;
    void BeginWrite(bool inserting) override;
    void EndWrite(bool inserting) override;
    std::int32_t CurrentRecordId() override { return FCursorIndex; }
    void ReleaseRecordId(std::int32_t) override {}
    void MoveToRecordId(std::int32_t id) override { FCursorIndex = id; }
    std::size_t BookmarkLength() const override { return 4; }
    void MoveToBookmark(const std::byte* bookmark) override;
    void FillBookmark(std::int32_t id, std::byte* bookmark) override;
    void MoveBeforeFirst() override { FCursorIndex = -1; }
    void MoveAfterLast() override { FCursorIndex = GetRecordCount(); }
    TStepResult Step(TStepMode mode) override;
    bool CanModify() const override { return !FReadOnly; }
    int GetRecordCount() const override;
    int GetRecordNumber() override;
    void SetRecordNumber(int recNo) override;

private:
    // The record element at position index, or nullptr.
    TqelXMLNode2* RowAt(int index) const;
    // Raises unless the definitions, with the one at replaced (or appended when it
    // is nullptr) by name, type and size, would open.
    void CheckDefinitions(const TqelXMLNode2* replaced, const std::string& name, TFieldType dataType, int size) const;
    void Reopen();

    std::unique_ptr<TqelXMLParser2> FTableDoc;  // owned
    TqelXMLNode2* FRowsElement = nullptr;       // not owned
    TqelXMLNode2* FFieldsElement = nullptr;     // not owned
    TqelXMLNode2* FCurrentRow = nullptr;        // not owned; set only while a record is read or written
    std::string FXMLFile;
    bool FReadOnly = false;
    int FCursorIndex = -1;
};

// The type name of a data type: "string", "memo", "integer", "boolean", "float",
// "date", "datetime"; "string" for any other type.
std::string TypeName(TFieldType dataType);
// The data type of a type name, compared exactly; string for any other text.
TFieldType TypeFromName(std::string_view name);
// A stored "yyyy-mm-dd" date (a time after it is dropped); day 0 when it does not convert.
double ParseStoredDate(std::string_view text);
// A stored "yyyy-mm-dd [hh:nn[:ss]]" date and time; day 0 when it does not convert.
double ParseStoredDateTime(std::string_view text);
// The stored form of a date ("yyyy-mm-dd") or, withTime, of a date and time
// ("yyyy-mm-dd" at midnight, "yyyy-mm-dd hh:nn:ss" otherwise); "" outside years 1 to 9999.
std::string StoredDateText(double value, bool withTime);
// The definition a field element of the "fields" element gives.
TFieldDef TableFieldDefinition(const TqelXMLNode2& element);
