// The tree model over an element tree, on its own: its shape, and every change
// bracketed so that views and a model tester follow it.

#include <QAbstractItemModelTester>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "WindowFixture.h"
#include "app/ElementTreeModel.h"

namespace {

class TTreeModelTest : public ::testing::Test {
protected:
    TqelXMLParser2 Document;
    TTextCodec Codec;
    TElementTreeModel Model{Document, Codec, nullptr};
    QAbstractItemModelTester Tester{&Model, QAbstractItemModelTester::FailureReportingMode::Warning};
    // A view that holds persistent indexes and an expanded layout across changes.
    QTreeView View;

    void SetUp() override
    {
        View.setModel(&Model);
        Document.LoadFromText(KLibraryXml);
        Model.BuildTree();
        View.expandAll();
    }
    QModelIndex At(std::initializer_list<int> rows) const
    {
        QModelIndex index = Model.index(0, 0);
        for (int row : rows) index = Model.index(row, 0, index);
        return index;
    }
    // The labels of the model as the element signature shows names.
    std::string Labels(const QModelIndex& index) const
    {
        std::string result = index.data().toString().toStdString();
        const int rows = Model.rowCount(index);
        if (rows == 0) return result;
        result += '(';
        for (int row = 0; row < rows; ++row) result += (row ? " " : "") + Labels(Model.index(row, 0, index));
        return result + ')';
    }
};

// Each index refers to its element; parent() finds the element's parent at its row.
TEST_F(TTreeModelTest, IndexesFollowTheElementTree)
{
    EXPECT_EQ(Model.rowCount(), 1);
    EXPECT_EQ(TElementTreeModel::Element(At({})), &Document);
    EXPECT_EQ(Labels(At({})), "library(shelf(book(title) book(title year)) note)");
    const QModelIndex year = At({0, 1, 1});
    EXPECT_EQ(TElementTreeModel::Element(year), Document.Children[0]->Children[1]->Children[1]);
    EXPECT_EQ(year.parent(), At({0, 1}));
    EXPECT_EQ(year.parent().parent().parent(), At({}));
    EXPECT_FALSE(At({}).parent().isValid());
    EXPECT_EQ(Model.IndexOf(TElementTreeModel::Element(year)), year);
    EXPECT_EQ(Model.IndexOf(&Document), At({}));
    TqelXMLParser2 other;
    other.LoadFromText("<x><y/></x>");
    EXPECT_FALSE(Model.IndexOf(other.Children[0]).isValid());
    Model.ClearTree();
    EXPECT_EQ(Model.rowCount(), 0);
    EXPECT_FALSE(Model.IndexOf(&Document).isValid());
    EXPECT_FALSE(Model.TopIndex().isValid());
}

// Appending and deleting keep rows right: after a delete the later siblings'
// rows move up, also for elements whose rows were looked up before.
TEST_F(TTreeModelTest, AppendAndDelete)
{
    auto child = std::make_unique<TqelXMLNode2>();
    child->SetName("added");
    const QModelIndex added = Model.AppendChild(At({0}), std::move(child));
    EXPECT_EQ(added, At({0, 2}));
    EXPECT_EQ(added.parent(), At({0}));
    const QPersistentModelIndex year = At({0, 1, 1});
    Model.DeleteItem(At({0, 0}));
    EXPECT_EQ(Labels(At({})), "library(shelf(book(title year) added) note)");
    EXPECT_EQ(year.parent(), At({0, 0}));
    EXPECT_EQ(year.parent().row(), 0);
    EXPECT_EQ(Model.IndexOf(TElementTreeModel::Element(year)).parent().row(), 0);
    Model.DeleteItem(At({}));  // the document itself stays
    EXPECT_EQ(Model.rowCount(), 1);
}

// The children of one item are rebuilt around a change that replaces them,
// also when the change raises.
TEST_F(TTreeModelTest, ReplaceChildren)
{
    const QModelIndex shelf = At({0});
    Model.ReplaceChildren(shelf, [this] {
        Document.ParseFragment(Document.Children[0], "<rack><box/><box><lid/></box></rack>");
    });
    EXPECT_TRUE(Document.LastError.empty());
    EXPECT_EQ(Labels(At({})), "library(rack(box box(lid)) note)");
    EXPECT_THROW(Model.ReplaceChildren(At({0}), [this] {
        Document.Children[0]->Children.Clear();
        throw std::runtime_error("stopped");
    }),
                 std::runtime_error);
    EXPECT_EQ(Labels(At({})), "library(rack note)");
}

// A reload that raises leaves the tree as it was shown; one that succeeds shows
// the new document.
TEST_F(TTreeModelTest, Reload)
{
    EXPECT_THROW(Model.Reload([] { throw std::runtime_error("unreadable"); }), std::runtime_error);
    EXPECT_EQ(Labels(At({})), "library(shelf(book(title) book(title year)) note)");
    Model.ClearTree();
    Model.Reload([this] { Document.LoadFromText("<other><x/></other>"); });
    EXPECT_EQ(Labels(At({})), "other(x)");
}

}  // namespace
