// Changing records: editing, inserting, appending, posting, cancelling and
// deleting; memo streams; filters; calculated fields; read-only tables.

#include <sstream>

#include "TableTestSupport.h"
#include "core/qelStrings.h"

namespace {

// Records the cursor at the end of every write.
class TWatchedTable : public TqelXMLDataSet2 {
public:
    std::vector<int> CursorAfterWrite;

protected:
    void EndWrite(bool inserting) override
    {
        TqelXMLDataSet2::EndWrite(inserting);
        CursorAfterWrite.push_back(CursorIndex());
    }
};

std::string Numbered(int count)
{
    std::string rows;
    for (int i = 1; i <= count; ++i) rows += "<row><s>r" + std::to_string(i) + "</s><n>" + std::to_string(i) + "</n></row>";
    return TableText("<s size='8'/><n type='integer'/>", rows);
}

// The "s" values of all records in the document.
std::string Stored(const TqelXMLDataSet2& table)
{
    std::string text;
    for (const auto& row : table.RowsElement()->Children) {
        const TqelXMLNode2* s = row->FindChild("s", false);
        text += (s ? s->Text : "-") + " ";
    }
    return text;
}

using Editing = TableTest;

TEST_F(Editing, EditPostAndCancel)
{
    Open(Numbered(3));
    Table->Next();
    Table->Edit();
    Table->FieldByName("s").SetAsString("changed");
    EXPECT_TRUE(Table->Modified());
    Table->Cancel();
    EXPECT_EQ(RecordText(*Table), "r2|2");
    Table->Edit();
    Table->FieldByName("s").SetAsString("changed");
    Table->Post();
    EXPECT_EQ(Table->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(RecordText(*Table), "changed|2");
    EXPECT_EQ(Stored(*Table), "r1 changed r3 ");
    // Moving away posts a change; a dropped edit writes nothing.
    Table->Edit();
    Table->FieldByName("n").SetAsInteger(20);
    Table->Next();
    EXPECT_EQ(GridText(*Table), "r1|1;changed|20;r3|3");
}

TEST_F(Editing, AnEditStartsFromTheStoredRecord)
{
    Open(Numbered(2));
    TqelXMLNode2* rows = Table->RowsElement();
    rows->Children[0]->FindChild("s", false)->SetText("outside");
    EXPECT_EQ(RecordText(*Table), "r1|1");
    Table->Edit();
    EXPECT_EQ(RecordText(*Table), "outside|1");
    Table->Cancel();
    Table->Next();
    rows->Children.Delete(1);
    EXPECT_EQ(ErrorOf([&] { Table->Edit(); }), "No Records");
    rows->Children.Clear();
    EXPECT_EQ(ErrorOf([&] { Table->Edit(); }), "Record not found");  // no record at all: no current one
    EXPECT_EQ(Table->State(), TDataSetState::dsBrowse);
    Table->Refresh();
    EXPECT_TRUE(Table->IsEmpty());
}

TEST_F(Editing, ALongStringIsCutWhenItIsPosted)
{
    Open(TableText("<s size='3'/><n type='integer'/>", "<row><s>abcdef</s><n>1</n></row>"));
    EXPECT_EQ(RecordText(*Table), "abc|1");
    EXPECT_EQ(Stored(*Table), "abcdef ");
    Table->Edit();
    Table->FieldByName("n").SetAsInteger(2);
    Table->Post();
    EXPECT_EQ(Stored(*Table), "abc ");
}

TEST_F(Editing, InsertedRecordsGoToTheEnd)
{
    auto watched = std::make_unique<TWatchedTable>();
    TWatchedTable& table = *watched;
    Table = std::move(watched);
    Open(Numbered(5));
    Table->Insert();
    EXPECT_EQ(Table->State(), TDataSetState::dsInsert);
    EXPECT_EQ(RecordText(*Table), "|0");
    Table->FieldByName("s").SetAsString("new");
    Table->Post();
    EXPECT_EQ(Stored(*Table), "r1 r2 r3 r4 r5 new ");
    EXPECT_EQ(table.CursorAfterWrite, std::vector<int>{4});  // just before the new record
    EXPECT_EQ(RecordText(*Table), "new|0");                   // which is then the active one
    EXPECT_EQ(Table->RecNo(), 6);
}

TEST_F(Editing, AppendedRecordsGetEveryValueElement)
{
    Open(TableText("<s/><n type='integer'/><b type='boolean'/><d type='date'/><m type='memo'/>", ""));
    Table->Append();
    Table->Post();
    const TqelXMLNode2* row = Table->RowsElement()->Children[0];
    EXPECT_EQ(row->Name, "row");
    std::string values;
    for (const auto& value : row->Children) values += value->Name + "=" + value->Text + " ";
    EXPECT_EQ(values, "s= n=0 b=0 d=1899-12-30 m= ");
    Table->Append();
    Table->FieldByName("s").SetAsString("second");
    Table->Post();
    EXPECT_EQ(Table->RecordCount(), 2);
    EXPECT_EQ(Table->FieldByName("s").AsString(), "second");
    EXPECT_TRUE(Table->Eof() == false && Table->RecNo() == 2);
}

TEST_F(Editing, CancellingANewRecordReturnsToTheOldOne)
{
    Table->SetBufferCount(3);
    Open(Numbered(5));
    Table->Next();
    Table->Insert();
    EXPECT_EQ(Table->WindowCount(), 3);  // the new row pushed the last one out of the window
    Table->Cancel();
    EXPECT_EQ(RecordText(*Table), "r2|2");
    EXPECT_EQ(Table->RecordCount(), 5);
    Table->Append();
    Table->Delete();  // deleting a new record drops it
    EXPECT_EQ(Table->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table->RecordCount(), 5);
    EXPECT_EQ(RecordText(*Table), "r5|5");
}

TEST_F(Editing, EditingAnEmptyTableInsertsARecord)
{
    Open(TableText("<s/>", ""));
    Table->Edit();
    EXPECT_EQ(Table->State(), TDataSetState::dsInsert);
    Table->FieldByName("s").SetAsString("only");
    Table->Post();
    EXPECT_EQ(Stored(*Table), "only ");
}

TEST_F(Editing, DeletingMovesToTheNextRecordOrElseThePriorOne)
{
    Open(Numbered(3));
    Table->Next();
    Table->Delete();
    EXPECT_EQ(RecordText(*Table), "r3|3");
    Table->Delete();
    EXPECT_EQ(RecordText(*Table), "r1|1");
    Table->Edit();
    Table->FieldByName("s").SetAsString("gone");
    Table->Delete();  // an edited record is deleted with its changes
    EXPECT_TRUE(Table->IsEmpty() && Table->Bof() && Table->Eof());
    EXPECT_EQ(Table->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table->RecordCount(), 0);
}

TEST_F(Editing, AReadOnlyTableRefusesChanges)
{
    Table->SetReadOnly(true);
    Open(Numbered(2));
    for (auto change : {&TDataSet::Edit, &TDataSet::Insert, &TDataSet::Append, &TDataSet::Delete})
        EXPECT_EQ(ErrorOf([&] { ((*Table).*change)(); }), "Cannot modify a read-only dataset");
    Table->SetReadOnly(false);
    Table->Edit();
    EXPECT_EQ(Table->State(), TDataSetState::dsEdit);
}

TEST_F(Editing, MemoStreams)
{
    Open(TableText("<m type='memo'/>", "<row><m>first text</m></row><row/>"));
    TField& m = Table->FieldByName("m");
    const auto reading = Table->CreateBlobStream(m, TBlobStreamMode::bmRead);
    EXPECT_EQ(ReadStreamText(*reading), "first text");
    EXPECT_FALSE(static_cast<TQvBlobStream&>(*reading).Modified());
    const auto writing = Table->CreateBlobStream(m, TBlobStreamMode::bmWrite);
    EXPECT_EQ(writing->Size(), 0u);  // a stream for writing starts empty

    Table->Edit();
    {
        const auto stream = Table->CreateBlobStream(m, TBlobStreamMode::bmReadWrite);
        stream->seekp(0, std::ios::end);
        *stream << " and more <b>";
        EXPECT_TRUE(static_cast<TQvBlobStream&>(*stream).Modified());
        EXPECT_EQ(m.AsString(), "first text");  // the record gets the text when the stream is done
    }
    EXPECT_EQ(m.AsString(), "first text and more <b>");
    Table->Post();
    EXPECT_EQ(Table->RowsElement()->Children[0]->FindChild("m", false)->Text, "first text and more <b>");
    Table->Next();
    EXPECT_EQ(m.AsString(), "");
    Table->Edit();
    m.SetAsString(std::string(100000, 'x'));
    Table->Post();
    EXPECT_EQ(m.AsString().size(), 100000u);
    // Memo text with markup is kept through the file.
    const std::string file = File;
    Table->Close();
    Table->SetXMLFile(file);
    Table->Open();
    EXPECT_EQ(Table->FieldByName("m").AsString(), "first text and more <b>");
}

TEST_F(Editing, FiltersSkipRecords)
{
    Open(Numbered(6));
    Table->SetOnFilterRecord([](TDataSet& dataSet, bool& accept) {
        accept = dataSet.FieldByName("n").AsInteger() % 2 == 0;
    });
    Table->SetFiltered(true);
    EXPECT_EQ(GridText(*Table), "r2|2;r4|4;r6|6");
    Table->Last();
    Table->Prior();
    EXPECT_EQ(RecordText(*Table), "r4|4");
    // A record that stops passing the filter leaves the view for the next one that passes.
    Table->Edit();
    Table->FieldByName("n").SetAsInteger(5);
    Table->Post();
    EXPECT_EQ(RecordText(*Table), "r6|6");
    Table->SetRecNo(1);  // the current record does not pass: the next one that does
    EXPECT_EQ(RecordText(*Table), "r2|2");
    Table->SetFiltered(false);
    EXPECT_EQ(GridText(*Table), "r1|1;r2|2;r3|3;r4|5;r5|5;r6|6");
}

TEST_F(Editing, AFilterThatFailsKeepsItsAnswerSoFar)
{
    std::vector<std::string> reported;
    TDataSet::SetApplicationExceptionHandler([&](const std::string& message) { reported.push_back(message); });
    Open(Numbered(3));
    Table->SetOnFilterRecord([](TDataSet& dataSet, bool& accept) {
        const int n = dataSet.FieldByName("n").AsInteger();
        if (n == 2) accept = false;
        if (n >= 2) throw EDatabaseError("filter failed at " + std::to_string(n));
    });
    Table->SetFiltered(true);
    EXPECT_EQ(GridText(*Table), "r1|1;r3|3");
    EXPECT_EQ(reported, (std::vector<std::string>{"filter failed at 2", "filter failed at 3"}));
    // A handler cannot move or close the dataset under the buffer it looks at.
    reported.clear();
    Table->SetOnFilterRecord([](TDataSet& dataSet, bool&) { dataSet.Close(); });
    Table->Refresh();
    Table->SetOnFilterRecord([](TDataSet& dataSet, bool&) { dataSet.Next(); });
    Table->First();
    TDataSet::SetApplicationExceptionHandler(nullptr);
    EXPECT_EQ(reported, std::vector<std::string>(2, "Cannot change the dataset while fields are calculated or records "
                                                    "are filtered"));
    EXPECT_EQ(RecordText(*Table), "r1|1");
}

TEST_F(Editing, CalculatedFields)
{
    Table->CreateField("n", TFieldType::ftInteger);
    TField& twice = Table->CreateField("twice", TFieldType::ftInteger, 0, TFieldKind::fkCalculated);
    TField& label = Table->CreateField("label", TFieldType::ftString, 6, TFieldKind::fkCalculated);
    Table->SetOnCalcFields([&](TDataSet& dataSet) {
        const int n = dataSet.FieldByName("n").AsInteger();
        twice.SetAsInteger(2 * n);
        if (n != 2) label.SetAsString("number " + std::to_string(n));
    });
    Open(Numbered(3));
    EXPECT_FALSE(Table->DefaultFields());
    EXPECT_EQ(Table->Fields().Count(), 3);  // only the persistent fields; "s" has none
    EXPECT_EQ(GridText(*Table), "1|2|number;2|4|;3|6|number");
    Table->SetRecNo(2);
    EXPECT_TRUE(label.IsNull());
    EXPECT_EQ(twice.Offset(), 0u);
    EXPECT_EQ(label.Offset(), 5u);  // after the has-value byte and the integer
    EXPECT_EQ(Table->CurrentBuffer()->Size(), Table->CalcOffset() + (1 + 4) + (1 + 7));
    EXPECT_EQ(ErrorOf([&] { Table->CreateField("late", TFieldType::ftInteger); }),
              "Cannot perform this operation on an open dataset");
    Table->Edit();
    Table->FieldByName("n").SetAsInteger(7);
    Table->Post();
    EXPECT_EQ(RecordText(*Table), "7|14|number");
    EXPECT_EQ(Stored(*Table), "r1 r2 r3 ");  // a field without an object is left as it is

    Table->Close();
    Table->CreateField("missing", TFieldType::ftInteger);
    EXPECT_EQ(ErrorOf([&] { Table->SetXMLFile(File); Table->Open(); }), "Field \"missing\" not found");
    EXPECT_FALSE(Table->Active());
}

}  // namespace
