// Every command that changes the element tree tells the tree view through the
// model's change signals, so that no item shows a stale name or a lost element.

#include <QSignalSpy>

#include <functional>
#include <set>

#include "WindowFixture.h"

namespace {

// The change signals of a model, as "changed LABEL", "inserted under LABEL at
// FIRST-LAST", "removed under LABEL at FIRST-LAST" and "reset".
class TTreeSignals {
public:
    explicit TTreeSignals(QAbstractItemModel* model)
        : FChanged(model, &QAbstractItemModel::dataChanged),
          FInserted(model, &QAbstractItemModel::rowsInserted),
          FRemoved(model, &QAbstractItemModel::rowsRemoved),
          FReset(model, &QAbstractItemModel::modelReset)
    {
    }
    // What was signalled since the last call.
    std::set<std::string> Take()
    {
        std::set<std::string> told;
        for (const QList<QVariant>& signal : FChanged) told.insert("changed " + Label(signal[0]));
        for (const QList<QVariant>& signal : FInserted) told.insert("inserted under " + Place(signal));
        for (const QList<QVariant>& signal : FRemoved) told.insert("removed under " + Place(signal));
        if (!FReset.isEmpty()) told.insert("reset");
        for (QSignalSpy* spy : {&FChanged, &FInserted, &FRemoved, &FReset}) spy->clear();
        return told;
    }

private:
    QSignalSpy FChanged, FInserted, FRemoved, FReset;

    static std::string Label(const QVariant& index) { return index.value<QModelIndex>().data().toString().toStdString(); }
    static std::string Place(const QList<QVariant>& signal)
    {
        return Label(signal[0]) + " at " + std::to_string(signal[1].toInt()) + "-" + std::to_string(signal[2].toInt());
    }
};

class TTreeSignalTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        StartWith(KLibraryXml);
    }
    void UpdateFrom(const QModelIndex& item, const char* text)
    {
        SelectItem(item);
        Source()->SetText(QString::fromLatin1(text));
        Trigger("LoadasDocument1");
    }
};

// One after the other on library(shelf(book(title) book(title year)) note).
TEST_F(TTreeSignalTest, EveryTreeChangeIsSignalled)
{
    TTreeSignals told(Tree()->model());
    struct TChange {
        const char* Command;
        std::function<void()> Run;
        std::set<std::string> Told;
    };
    const TChange changes[] = {
        {"add child",
         [&] {
             SelectItem(Item({1}));
             Prompts->AnswerInput(QStringLiteral("x"));
             Trigger("AddChild1");
         },
         {"inserted under note at 0-0"}},
        {"duplicate",
         [&] {
             SelectItem(Item({0, 0}));
             Trigger("Duplicate1");
         },
         {"inserted under shelf at 2-2"}},
        {"delete",
         [&] {
             SelectItem(Item({0, 2}));
             Trigger("Delete1");
         },
         {"removed under shelf at 2-2"}},
        {"rename",
         [&] {
             SelectItem(Item({1}));
             Prompts->AnswerInput(QStringLiteral("remark"));
             Trigger("Rename1");
         },
         {"changed remark"}},
        {"rename in place", [&] { EditLabel(Item({0}), QStringLiteral("rack")); }, {"changed rack"}},
        {"update an element",
         [&] { UpdateFrom(Item({1}), "<item><y/><z/></item>"); },
         {"removed under item at 0-0", "inserted under item at 0-1", "changed item"}},
        {"update the document", [&] { UpdateFrom(Item({}), "<library><a/></library>"); }, {"reset"}},
        {"run XEL",
         [&] {
             SelectItem(Item({}));
             Trigger("RunNode1");
         },
         {"reset"}},
    };
    for (const TChange& change : changes) {
        change.Run();
        EXPECT_EQ(told.Take(), change.Told) << change.Command;
    }
    Asked();
}

}  // namespace
