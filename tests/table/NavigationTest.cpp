// Moving through the records: the ends, record numbers, the buffer window of a
// grid, bookmarks and the notifications a grid listens to.

#include "TableTestSupport.h"

namespace {

// Five records whose field "n" holds 1 to 5.
std::string Five()
{
    std::string rows;
    for (int i = 1; i <= 5; ++i) rows += "<row><n>" + std::to_string(i) + "</n></row>";
    return TableText("<n type='integer'/>", rows);
}

class Navigation : public TableTest {
protected:
    int N() const { return Table->FieldByName("n").AsInteger(); }
};

TEST_F(Navigation, AnEmptyTableIsAtBothEnds)
{
    Open(TableText("<n type='integer'/>", ""));
    EXPECT_TRUE(Table->IsEmpty());
    EXPECT_EQ(Table->MoveBy(1), 0);
    EXPECT_TRUE(Table->Eof());
    EXPECT_EQ(Table->MoveBy(-1), 0);
    EXPECT_TRUE(Table->Bof());
    Table->Last();
    EXPECT_TRUE(Table->Bof() && Table->Eof());
    EXPECT_EQ(Table->RecNo(), 0);
    EXPECT_TRUE(Table->FieldByName("n").IsNull());  // no record: no buffer to read
    EXPECT_EQ(Table->FieldByName("n").DisplayText(), "");
    EXPECT_EQ(Table->GetBookmark(), TBookmark());
    EXPECT_EQ(ErrorOf([&] { Table->Delete(); }), "Cannot perform this operation on an empty dataset");
}

TEST_F(Navigation, WalkingBothWaysWithRecordNumbers)
{
    Open(Five());
    EXPECT_TRUE(Table->Bof());
    std::string seen;
    for (; !Table->Eof(); Table->Next()) seen += std::to_string(N()) + "@" + std::to_string(Table->RecNo()) + " ";
    EXPECT_EQ(seen, "1@1 2@2 3@3 4@4 5@5 ");
    EXPECT_EQ(N(), 5);  // a failed move keeps the last record
    EXPECT_FALSE(Table->Bof());
    seen.clear();
    for (Table->Last(); !Table->Bof(); Table->Prior()) seen += std::to_string(N());
    EXPECT_EQ(seen, "54321");
    EXPECT_EQ(Table->CursorIndex(), -1);  // the prior step ran off the front
    EXPECT_EQ(Table->RecNo(), 1);         // and the record number puts it back on the active record
    EXPECT_EQ(Table->CursorIndex(), 0);
}

TEST_F(Navigation, MoveByStopsAtTheEnds)
{
    Open(Five());
    EXPECT_EQ(Table->MoveBy(2), 2);
    EXPECT_EQ(N(), 3);
    EXPECT_EQ(Table->MoveBy(10), 2);
    EXPECT_TRUE(Table->Eof());
    EXPECT_EQ(Table->MoveBy(-10), -4);
    EXPECT_TRUE(Table->Bof());
    EXPECT_FALSE(Table->Eof());
    EXPECT_EQ(N(), 1);
}

TEST_F(Navigation, SettingTheRecordNumber)
{
    Open(Five());
    Table->SetRecNo(3);
    EXPECT_EQ(N(), 3);
    EXPECT_EQ(Table->RecNo(), 3);
    Table->SetRecNo(0);
    EXPECT_EQ(N(), 3);
    Table->SetRecNo(6);
    EXPECT_EQ(N(), 3);
    Table->SetRecNo(5);
    EXPECT_EQ(N(), 5);
    EXPECT_EQ(Table->RecordCount(), 5);
}

TEST_F(Navigation, AGridWindowHoldsConsecutiveRecords)
{
    Table->SetBufferCount(3);
    Open(Five());
    // Each window row as the grid paints it, the active one in brackets.
    auto window = [&] {
        std::string rows;
        const int active = Table->ActiveRecord();
        for (int row = 0; row < Table->WindowCount(); ++row) {
            TDataSet::TRowScope scope(*Table, row);
            rows += row == active ? "[" + std::to_string(N()) + "]" : std::to_string(N());
        }
        return rows + " active " + std::to_string(N());
    };
    EXPECT_EQ(window(), "[1]23 active 1");  // the scope gives the active row back
    Table->MoveBy(2);
    EXPECT_EQ(window(), "12[3] active 3");
    Table->Next();
    EXPECT_EQ(window(), "23[4] active 4");
    Table->Last();
    EXPECT_EQ(window(), "34[5] active 5");
    Table->MoveBy(-3);
    EXPECT_EQ(window(), "[2]34 active 2");
    Table->SetRecNo(5);
    EXPECT_EQ(window(), "34[5] active 5");  // nothing comes after it: the rows before it fill the window
    Table->Refresh();
    EXPECT_EQ(window(), "34[5] active 5");
    Table->SetBufferCount(4);
    EXPECT_EQ(window(), "234[5] active 5");

    Table->Edit();
    {
        TDataSet::TRowScope scope(*Table, 0);
        EXPECT_EQ(ErrorOf([&] { Table->FieldByName("n").SetAsInteger(9); }),
                  "Fields cannot receive values while another row is read");
    }
    EXPECT_EQ(ErrorOf([&] { TDataSet::TRowScope scope(*Table, 4); }), "Row 4 is outside the window of 4 records");
    Table->FieldByName("n").SetAsInteger(50);
    Table->Post();
    EXPECT_EQ(window(), "234[50] active 50");
}

TEST_F(Navigation, BookmarksDesignatePositions)
{
    Open(Five());
    Table->SetRecNo(4);
    const TBookmark fourth = Table->GetBookmark();
    ASSERT_EQ(fourth.size(), 4u);
    Table->SetRecNo(5);
    const TBookmark fifth = Table->GetBookmark();
    Table->SetRecNo(2);
    Table->Delete();
    EXPECT_EQ(N(), 3);  // the record after the deleted one moved into its place
    Table->GotoBookmark(fourth);
    EXPECT_EQ(N(), 5);  // the record that moved up into position 4
    EXPECT_EQ(Table->RecNo(), 4);
    Table->First();
    EXPECT_EQ(ErrorOf([&] { Table->GotoBookmark(fifth); }), "Record not found");
    EXPECT_EQ(N(), 1);
    EXPECT_EQ(ErrorOf([&] { Table->GotoBookmark(TBookmark(2)); }), "Invalid bookmark");
    Table->Insert();
    EXPECT_EQ(Table->GetBookmark(), TBookmark());  // a new record has none yet
}

// Writes down what a grid would be told.
class TRecorder : public TDataSetObserver {
public:
    std::string Seen;
    void DataChanged(TDataSet&) override { Seen += "data "; }
    void FieldChanged(TDataSet&, TField& field) override { Seen += "field:" + field.FieldName() + " "; }
    void StateChanged(TDataSet& dataSet) override
    {
        Seen += "state:" + std::to_string(static_cast<int>(dataSet.State())) + " ";
    }
    void Scrolled(TDataSet&, int distance) override { Seen += "scroll:" + std::to_string(distance) + " "; }
};

TEST_F(Navigation, ObserversHearWhatChanges)
{
    TRecorder recorder;
    Table->AttachObserver(recorder);
    Open(Five());
    EXPECT_EQ(recorder.Seen, "state:1 data ");
    recorder.Seen.clear();
    Table->Next();
    Table->MoveBy(-5);
    Table->Prior();  // moves nowhere
    EXPECT_EQ(recorder.Seen, "scroll:1 scroll:-1 ");
    recorder.Seen.clear();
    Table->Edit();
    Table->FieldByName("n").SetAsInteger(7);
    Table->Post();
    EXPECT_EQ(recorder.Seen, "state:2 field:n state:1 data ");
    recorder.Seen.clear();
    Table->Edit();
    Table->Next();  // an edit without a change is dropped
    EXPECT_EQ(recorder.Seen, "state:2 state:1 data scroll:1 ");
    Table->DetachObserver(recorder);
    recorder.Seen.clear();
    Table->Close();
    EXPECT_EQ(recorder.Seen, "");
}

}  // namespace
