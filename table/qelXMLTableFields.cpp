// Field definitions of the table file: adding, deleting and changing them, and
// the type names and stored date forms.

#include <algorithm>

#include "core/DateText.h"
#include "core/FormatSettings.h"
#include "core/NumberText.h"
#include "table/qelXMLDataSet2.h"

namespace {

struct TTypeName {
    TFieldType Type;
    std::string_view Name;
};

constexpr TTypeName TypeNames[] = {
    {TFieldType::ftString, "string"},   {TFieldType::ftMemo, "memo"},   {TFieldType::ftInteger, "integer"},
    {TFieldType::ftBoolean, "boolean"}, {TFieldType::ftFloat, "float"}, {TFieldType::ftDate, "date"},
    {TFieldType::ftDateTime, "datetime"},
};

// A field name must come back as the same element name when the file is read
// again: no blanks or control characters (which end or bend a tag), no "<" or
// ">", and no "/" (which would make the tag an end tag or an empty element).
void CheckFieldName(const std::string& name)
{
    if (name.empty()) throw EDatabaseError("A field needs a name");
    const bool bad = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 32 || c == '<' || c == '>' || c == '/';
    });
    if (bad) throw EDatabaseError("\"" + name + "\" cannot be a field name");
}

// A stored value of a field whose type changes from oldType to newType.
std::string ConvertStored(const std::string& text, TFieldType newType, TFieldType oldType)
{
    std::string result;
    switch (newType) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
        if (oldType == TFieldType::ftDate) return DateToText(ParseStoredDate(text), result) ? result : text;
        if (oldType == TFieldType::ftDateTime)
            return DateTimeToText(ParseStoredDateTime(text), result) ? result : text;
        return text;
    case TFieldType::ftInteger: {
        std::int32_t value = 0;
        return IntToText(TextToInt(text, value) ? value : 0);
    }
    case TFieldType::ftBoolean:
        return text == "0" ? "0" : "1";
    case TFieldType::ftFloat: {
        double value = 0;
        return TextToFloat(text, value) && FloatToText(value, result) ? result : "0";
    }
    case TFieldType::ftDate:
        return StoredDateText(ParseStoredDate(text), false);
    case TFieldType::ftDateTime:
        return StoredDateText(ParseStoredDateTime(text), true);
    default:
        return text;
    }
}

}  // namespace

TFieldDef TableFieldDefinition(const TqelXMLNode2& element)
{
    TFieldDef def;
    def.Name = element.Name;
    def.DataType = TypeFromName(element.GetAttribute("type"));
    std::int32_t size = 0;
    if (def.DataType == TFieldType::ftString && !TextToInt(element.GetAttribute("size"), size)) size = 30;
    def.Size = def.DataType == TFieldType::ftString ? size : 0;
    return def;
}

std::string StoredDateText(double value, bool withTime)
{
    std::string text;
    const bool done = withTime ? DateTimeToText(value, text, StoredDateSettings())
                               : DateToText(value, text, StoredDateSettings());
    return done ? text : std::string();
}

std::string TypeName(TFieldType dataType)
{
    for (const TTypeName& entry : TypeNames)
        if (entry.Type == dataType) return std::string(entry.Name);
    return "string";
}

TFieldType TypeFromName(std::string_view name)
{
    for (const TTypeName& entry : TypeNames)
        if (entry.Name == name) return entry.Type;
    return TFieldType::ftString;
}

double ParseStoredDate(std::string_view text)
{
    return DateDay(ParseStoredDateTime(text));
}

double ParseStoredDateTime(std::string_view text)
{
    double value = 0;
    return TextToDateTime(text, value, StoredDateSettings()) ? value : 0;
}

void TqelXMLDataSet2::CheckDefinitions(const TqelXMLNode2* replaced, const std::string& name, TFieldType dataType,
                                       int size) const
{
    CheckFieldName(name);
    for (const auto& element : FFieldsElement->Children)
        if (element.get() != replaced && element->Name == name)
            throw EDatabaseError("A field named \"" + name + "\" already exists");
    // The definitions as the next open will read them, checked as the open checks them.
    TFieldDefs defs;
    std::size_t recordSize = sizeof(TRecordInfo);
    auto add = [&](const TFieldDef& def) {
        defs.Add(def.Name, def.DataType, def.Size, false);
        recordSize += FieldSlotSize(def.DataType, def.Size);
    };
    const TFieldDef changed{name, dataType, dataType == TFieldType::ftString ? size : 0, false};
    for (const auto& element : FFieldsElement->Children)
        add(element.get() == replaced ? changed : TableFieldDefinition(*element));
    if (!replaced) add(changed);
    for (const auto& field : Fields())
        if (field->IsCalculated()) recordSize += 1 + field->DataSize();
    CheckRecordSize(recordSize);
}

void TqelXMLDataSet2::Reopen()
{
    // The close writes the file and forgets its name; the reopened table keeps
    // it, so that later edits are written to the same file.
    const std::string file = FXMLFile;
    Close();
    FXMLFile = file;
    Open();
}

void TqelXMLDataSet2::AddField(const std::string& name, TFieldType dataType, int size)
{
    if (!FFieldsElement) return;
    CheckDefinitions(nullptr, name, dataType, size);
    auto definition = std::make_unique<TqelXMLNode2>();
    definition->SetName(name);
    definition->SetAttribute("size", IntToText(size));
    definition->SetAttribute("type", TypeName(dataType));
    FFieldsElement->AddChild(std::move(definition));
    Reopen();
}

void TqelXMLDataSet2::DeleteField(const std::string& name)
{
    TqelXMLNode2* definition = FFieldsElement ? FFieldsElement->FindChild(name, false) : nullptr;
    if (!definition) return;
    FFieldsElement->DeleteChild(definition);
    Reopen();
}

bool TqelXMLDataSet2::ChangeField(const std::string& oldName, const std::string& newName, TFieldType dataType,
                                  int size)
{
    TqelXMLNode2* definition = FFieldsElement ? FFieldsElement->FindChild(oldName, false) : nullptr;
    if (!definition) return false;
    CheckDefinitions(definition, newName, dataType, size);
    const TFieldType oldType = TypeFromName(definition->GetAttribute("type"));
    definition->SetName(newName);
    definition->SetAttribute("type", TypeName(dataType));
    definition->SetAttribute("size", IntToText(size));
    if (FRowsElement) {
        for (const auto& row : FRowsElement->Children) {
            TqelXMLNode2* value = row->FindChild(oldName, false);
            if (!value) continue;
            value->SetName(newName);
            value->SetText(ConvertStored(value->Text, dataType, oldType));
        }
    }
    Reopen();
    return true;
}
