// The table file, its cursor and the exchange of values with the records.

#include "table/qelXMLDataSet2.h"

#include <cstring>

#include "core/DateText.h"
#include "core/FormatSettings.h"
#include "core/NumberText.h"
#include "core/qelStrings.h"

namespace {

const std::string EmptyText;

// The first lines of the parser's message: what went wrong and where. The rest
// is the text of the part it had built, which only repeats the file. Control
// bytes are made visible: an exception's text ends at the first NUL.
std::string ParseProblem(const std::string& lastError)
{
    const std::size_t at = lastError.find("\r\nError position=");
    const std::size_t end = at == std::string::npos ? at : lastError.find("\r\n", at + 2);
    return VisibleControlBytes(std::string_view(lastError).substr(0, end));
}

// The text of a record's value element for a field, or "" without one.
const std::string& StoredText(const TqelXMLNode2* row, const TField& field)
{
    const TqelXMLNode2* value = row ? row->FindChild(field.FieldName(), false) : nullptr;
    return value ? value->Text : EmptyText;
}

// The text a value is stored as in a field of that type.
std::string StoredForm(TFieldType type, const TQvValue& value)
{
    std::string text;
    switch (type) {
    case TFieldType::ftInteger:
        return IntToText(QvValueInt32(value));
    case TFieldType::ftBoolean:
        return std::string(1, QvValueBoolean(value) ? '1' : '0');
    case TFieldType::ftFloat:
        return FloatToText(QvValueDouble(value), text) ? text : std::string(1, '0');
    case TFieldType::ftDate:
        return StoredDateText(QvValueDouble(value), false);
    case TFieldType::ftDateTime:
        return StoredDateText(QvValueDouble(value), true);
    default:
        return QvValueText(value);
    }
}

}  // namespace

TqelXMLDataSet2::TqelXMLDataSet2() : FTableDoc(std::make_unique<TqelXMLParser2>()) {}

TqelXMLDataSet2::~TqelXMLDataSet2()
{
    try {
        Close();
    } catch (...) {
        // A destructor cannot report the failed write; the file keeps its old content.
    }
}

// ---- the file ----

void TqelXMLDataSet2::SetXMLFile(const std::string& value)
{
    if (Active()) throw EDatabaseError("Cannot change XMLFile of an active dataset");
    if (!value.empty() && !FileExists(value)) throw EDatabaseError("Invalid XMLFile path.");
    if (value.empty()) FXMLFile.clear();
    auto document = std::make_unique<TqelXMLParser2>();
    document->LoadFromFile(value);
    // A file that does not parse would open with part of its records, and the
    // next close would write that part back over the whole file.
    if (!document->LastError.empty())
        throw EDatabaseError("The table file \"" + value + "\" cannot be read: " + ParseProblem(document->LastError));
    FTableDoc = std::move(document);
    FXMLFile = value;
    FFieldsElement = FTableDoc->FindChild("fields", false);
    FRowsElement = FTableDoc->FindChild("rows", false);
    FCurrentRow = nullptr;
    FCursorIndex = -1;
}

bool TqelXMLDataSet2::SaveTable()
{
    if (!FileExists(FXMLFile)) return false;
    FTableDoc->SaveToFile(FXMLFile);
    return true;
}

void TqelXMLDataSet2::CloseWithoutSaving()
{
    FXMLFile.clear();
    Close();
}

bool TqelXMLDataSet2::OpenStore()
{
    FCursorIndex = -1;
    return FFieldsElement != nullptr;
}

std::string TqelXMLDataSet2::CursorNotOpenMessage() const
{
    return "The table has no \"fields\" element";
}

void TqelXMLDataSet2::CloseStore()
{
    FCurrentRow = nullptr;
    FieldDefs().Clear();
    if (FileExists(FXMLFile)) FTableDoc->SaveToFile(FXMLFile);
    FXMLFile.clear();
}

void TqelXMLDataSet2::DefineFields()
{
    for (const auto& element : FFieldsElement->Children) {
        const TFieldDef def = TableFieldDefinition(*element);
        FieldDefs().Add(def.Name, def.DataType, def.Size, false);
    }
}

// ---- values ----

TQvValue TqelXMLDataSet2::ReadFieldValue(const TField& field)
{
    if (!FCurrentRow) return {};
    const std::string& text = StoredText(FCurrentRow, field);
    switch (field.DataType()) {
    case TFieldType::ftInteger: {
        std::int32_t value = 0;
        return TextToInt(text, value) ? value : 0;
    }
    case TFieldType::ftBoolean:
        return text == "1";
    case TFieldType::ftFloat: {
        double value = 0;
        return TextToFloat(text, value) ? value : 0.0;
    }
    case TFieldType::ftDate:
        return ParseStoredDate(text);
    case TFieldType::ftDateTime:
        return ParseStoredDateTime(text);
    default:
        return text;
    }
}

void TqelXMLDataSet2::WriteFieldValue(const TField& field, const TQvValue& value)
{
    if (FCurrentRow) FCurrentRow->ForceChild(field.FieldName())->SetText(StoredForm(field.DataType(), value));
}

void TqelXMLDataSet2::ReadBlob(const TField& field, std::ostream& stream)
{
    if (FCurrentRow) WriteStringToStream(StoredText(FCurrentRow, field), stream);
}

void TqelXMLDataSet2::WriteBlob(const TField& field, std::istream& stream)
{
    std::string text = ReadStreamText(stream);
    if (FCurrentRow) FCurrentRow->ForceChild(field.FieldName())->SetText(std::move(text));
}

// ---- the cursor ----

TqelXMLNode2* TqelXMLDataSet2::RowAt(int index) const
{
    return index >= 0 && index < GetRecordCount() ? FRowsElement->Children[index] : nullptr;
}

int TqelXMLDataSet2::GetRecordCount() const
{
    return FRowsElement ? FRowsElement->Children.Count() : 0;
}

void TqelXMLDataSet2::BeginRead()
{
    FCurrentRow = RowAt(FCursorIndex);
}

void TqelXMLDataSet2::EndRead()
{
    if (!(State() == TDataSetState::dsInsert && FCurrentRow)) FCurrentRow = nullptr;
}

void TqelXMLDataSet2::BeginWrite(bool inserting)
{
    if (!inserting) {
        FCurrentRow = RowAt(FCursorIndex);
        return;
    }
    // A table without records gets its "rows" element with the first one.
    if (!FRowsElement) FRowsElement = FTableDoc->ForceChild("rows");
    auto row = std::make_unique<TqelXMLNode2>();
    row->SetName("row");
    FCurrentRow = FRowsElement->AddChild(std::move(row));
}

void TqelXMLDataSet2::EndWrite(bool inserting)
{
    if (inserting && FCurrentRow && FRowsElement) {
        // The new record was appended, so it is nearly always the last one.
        const int position = FRowsElement->Children.Last() == FCurrentRow ? FRowsElement->Children.Count() - 1
                                                                           : FRowsElement->Children.IndexOf(FCurrentRow);
        if (position > 0) FCursorIndex = position - 1;
    }
    FCurrentRow = nullptr;
}

void TqelXMLDataSet2::MoveToBookmark(const std::byte* bookmark)
{
    std::int32_t id = 0;
    std::memcpy(&id, bookmark, sizeof id);
    MoveToRecordId(id);
}

void TqelXMLDataSet2::FillBookmark(std::int32_t id, std::byte* bookmark)
{
    std::memcpy(bookmark, &id, sizeof id);
}

TStepResult TqelXMLDataSet2::Step(TStepMode mode)
{
    const int count = GetRecordCount();
    if (count < 1) return TStepResult::grEof;
    switch (mode) {
    case TStepMode::gmCurrent:
        return FCursorIndex < 0 || FCursorIndex >= count ? TStepResult::grError : TStepResult::grOk;
    case TStepMode::gmNext:
        if (FCursorIndex >= count - 1) return TStepResult::grEof;
        ++FCursorIndex;
        return TStepResult::grOk;
    case TStepMode::gmPrior:
        if (FCursorIndex < 1) {
            FCursorIndex = -1;
            return TStepResult::grBof;
        }
        --FCursorIndex;
        return TStepResult::grOk;
    }
    return TStepResult::grOk;
}

int TqelXMLDataSet2::GetRecordNumber()
{
    PutCursorOnActiveRecord();
    const int count = GetRecordCount();
    if (count == 0) return 0;  // wherever the cursor stands: after the last is position 0 then
    if (FCursorIndex == -1) return 1;
    return FCursorIndex + 1;
}

void TqelXMLDataSet2::SetRecordNumber(int recNo)
{
    if (recNo < 1 || recNo > GetRecordCount()) return;
    FCursorIndex = recNo - 1;
    Resync();
}

void TqelXMLDataSet2::DeleteCurrent()
{
    const int recNo = GetRecordNumber();
    if (recNo < 1 || recNo > GetRecordCount()) return;
    FCurrentRow = nullptr;
    FRowsElement->Children.Delete(recNo - 1);  // the returned owner destroys the record
}
