// The field model: type names, field definitions and the buffer layout, and the
// conversions between stored text, buffer values and the text of a grid cell.

#include <cmath>

#include "TableTestSupport.h"
#include "core/DateText.h"
#include "core/FormatSettings.h"

namespace {

double Date(int year, int month, int day)
{
    double value = 0;
    EncodeDate(year, month, day, value);
    return value;
}

TEST(TypeNames, NamesCompareExactlyAndUnknownTypesAreStrings)
{
    for (TFieldType type : {TFieldType::ftString, TFieldType::ftMemo, TFieldType::ftInteger, TFieldType::ftBoolean,
                            TFieldType::ftFloat, TFieldType::ftDate, TFieldType::ftDateTime})
        EXPECT_EQ(TypeFromName(TypeName(type)), type) << TypeName(type);
    EXPECT_EQ(TypeName(TFieldType::ftCurrency), "string");
    EXPECT_EQ(TypeName(TFieldType::ftDateTime), "datetime");
    EXPECT_EQ(TypeFromName("Integer"), TFieldType::ftString);
    EXPECT_EQ(TypeFromName(" integer"), TFieldType::ftString);
    EXPECT_EQ(TypeFromName(""), TFieldType::ftString);
}

TEST(StoredDates, FixedFormWhateverTheProgramSettings)
{
    ProgramSettings() = TFormatSettings{',', '/', "mm/dd/yyyy"};
    EXPECT_EQ(ParseStoredDate("2001-05-03"), Date(2001, 5, 3));
    EXPECT_EQ(ParseStoredDate("2001-5-3 10:30"), Date(2001, 5, 3));  // a date keeps the day only
    EXPECT_EQ(ParseStoredDateTime("2001-05-03 06:00"), Date(2001, 5, 3) + 0.25);
    EXPECT_EQ(ParseStoredDate("03/05/2001"), 0);  // the program's own form is not the stored one
    EXPECT_EQ(ParseStoredDateTime("2001-02-30"), 0);
    EXPECT_EQ(StoredDateText(Date(2001, 5, 3) + 0.5, false), "2001-05-03");
    EXPECT_EQ(StoredDateText(Date(2001, 5, 3) + 0.5, true), "2001-05-03 12:00:00");
    EXPECT_EQ(StoredDateText(Date(99, 1, 2), true), "0099-01-02");
    EXPECT_EQ(StoredDateText(1e9, true), "");
    // The program's settings are the same afterwards.
    EXPECT_EQ(ProgramSettings().ShortDateFormat, "mm/dd/yyyy");
    EXPECT_EQ(ProgramSettings().DateSeparator, '/');
    ProgramSettings() = TFormatSettings{};
}

using FieldModel = TableTest;

TEST_F(FieldModel, DefinitionsTypesAndTheSizeDefault)
{
    Open(TableText("<a/><b type='Integer' size='abc'/><c size=' 12 '/><d type='integer' size='5'/>"
                   "<e type='memo'/><f type='datetime' size='3'/>",
                   ""));
    const TFieldDefs& defs = Table->FieldDefs();
    ASSERT_EQ(defs.Count(), 6);
    const TFieldType types[] = {TFieldType::ftString, TFieldType::ftString, TFieldType::ftString,
                                TFieldType::ftInteger, TFieldType::ftMemo, TFieldType::ftDateTime};
    const int sizes[] = {30, 30, 12, 0, 0, 0};
    for (int i = 0; i < defs.Count(); ++i) {
        EXPECT_EQ(defs[i].DataType, types[i]) << defs[i].Name;
        EXPECT_EQ(defs[i].Size, sizes[i]) << defs[i].Name;
        EXPECT_FALSE(defs[i].Required);
    }
    EXPECT_TRUE(Table->DefaultFields());
    EXPECT_EQ(Table->FieldByName("c").DataSize(), 13u);
    EXPECT_EQ(Table->FieldByName("d").DataSize(), 4u);
    EXPECT_EQ(Table->FieldByName("f").DataSize(), 8u);  // native date-times are serial numbers
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("z"); }), "Field \"z\" not found");
}

TEST_F(FieldModel, BufferLayoutFollowsTheFieldOrder)
{
    Open(TableText("<s size='10'/><i type='integer'/><b type='boolean'/><f type='float'/>"
                   "<d type='date'/><t type='datetime'/><m type='memo'/>",
                   "<row/>"));
    const std::size_t slots[] = {11, 4, 2, 8, 4, 8, 4};
    std::size_t offset = 0;
    for (int i = 0; i < Table->Fields().Count(); ++i) {
        EXPECT_EQ(Table->FieldOffset(*Table->Fields()[i]), offset) << Table->Fields()[i]->FieldName();
        offset += slots[i];
    }
    EXPECT_EQ(Table->DataSize(), offset);
    EXPECT_EQ(Table->CalcOffset(), offset + sizeof(TRecordInfo));
    EXPECT_EQ(Table->FieldNames(), (std::vector<std::string>{"s", "i", "b", "f", "d", "t", "m"}));
    const TRecordBuffer* buffer = Table->CurrentBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->Size(), Table->CalcOffset());  // no calculated fields
    EXPECT_EQ(Table->RecordInfo(*buffer).RecordId, 0);
    EXPECT_NE(Table->RecordInfo(*buffer).Bookmark, nullptr);
    EXPECT_NE(Table->BufferStream(*buffer, Table->FieldByName("m")), nullptr);
}

// Stored text read into a field "v", as the grid shows it.
struct TReadCase {
    const char* Field;
    const char* Value;  // the record's value element, or "" for none
    const char* Shown;
};

const TReadCase ReadCases[] = {
    // integer: decimal only, anything else reads 0
    {"<v type='integer'/>", "<v>-7</v>", "-7"},
    {"<v type='integer'/>", "<v>12abc</v>", "0"},
    {"<v type='integer'/>", "<v>4.0</v>", "0"},
    {"<v type='integer'/>", "<v>2147483648</v>", "0"},
    {"<v type='integer'/>", "", "0"},
    // boolean: exactly "1" is true
    {"<v type='boolean'/>", "<v>1</v>", "True"},
    {"<v type='boolean'/>", "<v>true</v>", "False"},
    {"<v type='boolean'/>", "<v>-1</v>", "False"},
    {"<v type='boolean'/>", "", "False"},
    // float: the program's decimal separator; failures read 0
    {"<v type='float'/>", "<v>12.50</v>", "12.5"},
    {"<v type='float'/>", "<v>1,5</v>", "0"},
    {"<v type='float'/>", "<v>1e400</v>", "0"},
    {"<v type='float'/>", "<v>1e20</v>", "1E20"},
    // date: "yyyy-mm-dd" whatever the program's format; day 0 otherwise
    {"<v type='date'/>", "<v>2001-05-03</v>", "03-05-2001"},
    {"<v type='date'/>", "<v>2001-05-03 10:30</v>", "03-05-2001"},
    {"<v type='date'/>", "<v>03-05-2001</v>", "30-12-1899"},
    {"<v type='date'/>", "", "30-12-1899"},
    // datetime keeps its time; a bare date is midnight
    {"<v type='datetime'/>", "<v>2001-05-03 10:30</v>", "03-05-2001 10:30:00"},
    {"<v type='datetime'/>", "<v>2001-05-03</v>", "03-05-2001"},
    {"<v type='datetime'/>", "<v>noon</v>", "30-12-1899"},
    // string: cut to its size; memo: any length
    {"<v size='5'/>", "<v>abcdefgh</v>", "abcde"},
    {"<v size='5'/>", "", ""},
    {"<v type='Integer'/>", "<v>12abc</v>", "12abc"},
    {"<v type='memo'/>", "<v><![CDATA[a <b> c]]></v>", "a <b> c"},
    {"<v type='memo'/>", "", ""},
};

TEST_F(FieldModel, StoredTextAsTheGridShowsIt)
{
    for (const TReadCase& c : ReadCases) {
        Table = std::make_unique<TqelXMLDataSet2>();
        Open(TableText(c.Field, std::string("<row>") + c.Value + "</row>"));
        EXPECT_EQ(Table->FieldByName("v").DisplayText(), c.Shown) << c.Field << " " << c.Value;
    }
}

TEST_F(FieldModel, TypedReadersOfStoredValues)
{
    Open(TableText("<i type='integer'/><b type='boolean'/><f type='float'/><d type='date'/><t type='datetime'/>",
                   "<row><i>-7</i><b>1</b><f>2.5</f><d>2001-05-03</d><t>2001-05-03 18:00</t></row><row/>"));
    TField& i = Table->FieldByName("i");
    TField& b = Table->FieldByName("b");
    TField& f = Table->FieldByName("f");
    TField& d = Table->FieldByName("d");
    TField& t = Table->FieldByName("t");
    EXPECT_EQ(i.AsInteger(), -7);
    EXPECT_EQ(i.AsFloat(), -7.0);
    EXPECT_TRUE(b.AsBoolean());
    EXPECT_EQ(b.AsInteger(), -1);
    EXPECT_EQ(f.AsInteger(), 2);  // halves go to the even neighbour
    EXPECT_EQ(f.AsString(), "2.5");
    EXPECT_EQ(d.AsDateTime(), Date(2001, 5, 3));
    EXPECT_EQ(d.AsInteger(), 37014);
    EXPECT_EQ(t.AsDateTime(), Date(2001, 5, 3) + 0.75);
    EXPECT_EQ(ErrorOf([&] { b.AsDateTime(); }), "Field \"b\" cannot be read as a date");
    // A record without value elements reads as 0, false and day 0.
    Table->Next();
    EXPECT_EQ(i.AsInteger(), 0);
    EXPECT_FALSE(b.AsBoolean());
    EXPECT_EQ(f.AsFloat(), 0.0);
    EXPECT_EQ(d.AsDateTime(), 0.0);
    EXPECT_FALSE(i.IsNull());  // data fields always have a value
}

TEST_F(FieldModel, StoredDatesIgnoreTheProgramsDateFormat)
{
    ProgramSettings() = TFormatSettings{'.', '/', "mm/dd/yyyy"};
    Open(TableText("<d type='date'/>", "<row><d>2001-05-03</d></row>"));
    TField& d = Table->FieldByName("d");
    EXPECT_EQ(d.AsDateTime(), Date(2001, 5, 3));
    EXPECT_EQ(d.DisplayText(), "05/03/2001");
    Table->Edit();
    d.SetEditText(d.DisplayText());
    Table->Post();
    EXPECT_NE(CloseAndRead().find("<d>2001-05-03</d>"), std::string::npos);
}

// A typed text given to a field "v" of a new record, and the text stored for it.
struct TWriteCase {
    const char* Field;
    const char* Typed;
    const char* Stored;
};

const TWriteCase WriteCases[] = {
    {"<v type='integer'/>", " 007 ", "7"},
    {"<v type='integer'/>", "-2147483648", "-2147483648"},
    {"<v type='boolean'/>", "TRUE", "1"},
    {"<v type='boolean'/>", " 0 ", "0"},
    {"<v type='boolean'/>", "2.5", "1"},
    {"<v type='float'/>", "1e3", "1000"},
    {"<v type='float'/>", "-.5", "-0.5"},
    {"<v type='float'/>", "0.1", "0.1"},
    {"<v type='date'/>", "7-3-2001", "2001-03-07"},
    {"<v type='date'/>", "07-03-2001 14:30", "2001-03-07"},  // a typed time is dropped
    {"<v type='datetime'/>", "07-03-2001 14:30", "2001-03-07 14:30:00"},
    {"<v type='datetime'/>", "07-03-2001", "2001-03-07"},
    {"<v size='5'/>", "abcdefg", "abcde"},
    {"<v type='memo'/>", "line\r\nnext", "line\r\nnext"},
};

TEST_F(FieldModel, TypedTextAndTheStoredForm)
{
    for (const TWriteCase& c : WriteCases) {
        Table = std::make_unique<TqelXMLDataSet2>();
        Open(TableText(c.Field, ""));
        Table->Append();
        Table->FieldByName("v").SetEditText(c.Typed);
        Table->Post();
        EXPECT_EQ(Table->RowsElement()->Children[0]->FindChild("v", false)->Text, c.Stored) << c.Field << c.Typed;
    }
}

TEST_F(FieldModel, TypedTextThatDoesNotConvertChangesNothing)
{
    Open(TableText("<i type='integer'/><f type='float'/><b type='boolean'/><d type='date'/><t type='datetime'/>",
                   "<row><i>5</i><f>1.5</f><b>1</b><d>2001-05-03</d><t>2001-05-03</t></row>"));
    Table->Edit();
    const std::pair<const char*, const char*> refused[] = {
        {"i", ""}, {"i", "4.0"}, {"i", "12abc"}, {"i", "2147483648"}, {"f", ""},        {"f", "1,5"},
        {"f", "\t1"}, {"b", "yes"}, {"b", ""},   {"d", "31-02-2001"},  {"d", "2001-05-03"}, {"t", ""},
    };
    for (const auto& [name, typed] : refused)
        EXPECT_EQ(ErrorOf([&] { Table->FieldByName(name).SetEditText(typed); }),
                  std::string("Invalid value \"") + typed + "\" for field \"" + name + "\"");
    EXPECT_FALSE(Table->Modified());
    EXPECT_EQ(RecordText(*Table), "5|1.5|True|03-05-2001|03-05-2001");
    ProgramSettings().DecimalSeparator = ',';
    Table->FieldByName("f").SetEditText("3,5");
    EXPECT_EQ(Table->FieldByName("f").AsFloat(), 3.5);
}

TEST_F(FieldModel, ValuesThatDoNotFitAreRefused)
{
    Open(TableText("<i type='integer'/><d type='date'/><s size='3'/><f type='float'/>", "<row/>"));
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("i").SetAsInteger(1); }), "Dataset not in edit or insert mode");
    Table->Edit();
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("i").SetAsFloat(1e20); }), "Invalid value \"1E20\" for field \"i\"");
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("d").SetAsDateTime(1e300); }),
              "Field \"d\" cannot hold a date outside the years 1 to 9999");
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("d").SetAsBoolean(true); }), "Field \"d\" cannot hold a Boolean");
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("f").SetAsFloat(NAN); }),
              "Field \"f\" cannot hold an infinite or undefined number");
    // Conversions that do fit.
    Table->FieldByName("i").SetAsFloat(2.5);
    Table->FieldByName("d").SetAsDateTime(Date(2001, 5, 3) + 0.9);
    Table->FieldByName("s").SetAsBoolean(false);
    Table->FieldByName("f").SetAsString("-1.25e2");
    EXPECT_EQ(RecordText(*Table), "2|03-05-2001|Fal|-125");
    Table->FieldByName("s").SetAsInteger(7);
    EXPECT_EQ(Table->FieldByName("s").AsInteger(), 7);
    Table->FieldByName("s").SetAsString("x7");
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName("s").AsInteger(); }), "Invalid value \"x7\" for field \"s\"");
}

TEST_F(FieldModel, WritingAFieldAppendsItsMissingValueElement)
{
    Open(TableText("<a/><b type='boolean'/>", "<row><other>x</other></row>"));
    Table->Edit();
    Table->FieldByName("b").SetAsBoolean(true);
    Table->Post();
    // Every post writes every field, appended in field order after what the record had.
    EXPECT_NE(CloseAndRead().find("<row>\r\n      <other>x</other>\r\n      <a/>\r\n      <b>1</b>\r\n    </row>"),
              std::string::npos);
}

}  // namespace
