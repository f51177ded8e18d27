#pragma once
// The main window under test: started offscreen in a temporary folder that also
// serves as its executable's folder (so settings stay isolated), driven through
// its actions and controls by object name, its questions answered by a script.
// A model tester watches each of its models for the whole test.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/BrindleU.h"
#include "app/ScriptedPrompts.h"
#include "app/SourceEditor.h"

// A document with attributes, texts and two levels of children:
//   library(shelf(book(title) book(title year)) note)
extern const char* const KLibraryXml;

// Element signature: name, attributes in order, text, children in order, e.g.
// book[id=b1]"x"(title"Alpha"). Compares whole subtrees in one assertion.
std::string Signature(const TqelXMLNode2* element);
// The rows of a list model as "first|second".
std::vector<std::string> Rows(const QAbstractItemModel& model);

class TWindowTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    TScriptedPrompts* Prompts = nullptr;  // owned by Window
    std::unique_ptr<TBrindleF> Window;

    void SetUp() override;
    // Every scripted answer was used and no question came unscripted.
    void TearDown() override;

    // Starts the window with these command-line arguments and runs its start-up.
    void Start(const QStringList& arguments = {});
    // Starts the window on a file of the temporary folder holding text.
    void StartWith(std::string_view text, const QString& name = QStringLiteral("doc.xml"));
    // Writes bytes to a file of the temporary folder; returns its path.
    QString WriteFile(const QString& name, std::string_view bytes) const;
    QString PathOf(const QString& name) const { return Dir.filePath(name); }
    static std::string ReadFile(const QString& path);

    template <class T>
    T* Find(const char* name) const
    {
        T* found = Window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Trigger(const char* actionName);
    // The box for WorkDoc's syntax error: a summary with line and column, then the whole message.
    std::string SyntaxMessage(int line, int column, const std::string& quoted) const
    {
        return "Message: Syntax error at line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
               quoted + "\n\n" + Window->WorkDoc->LastError;
    }
    // The questions asked so far, emptied.
    std::vector<std::string> Asked() { return Prompts->TakeAsked(); }
    std::string Caption() const { return Window->windowTitle().toStdString(); }

    QTreeView* Tree() const { return Find<QTreeView>("tree"); }
    QTabWidget* Book() const { return Find<QTabWidget>("book"); }
    QTableView* Selection() const { return Find<QTableView>("selection"); }
    QTableView* Attributes() const { return Find<QTableView>("view"); }
    QPlainTextEdit* Editor() const { return Find<QPlainTextEdit>("editor"); }
    QPlainTextEdit* Query() const { return Find<QPlainTextEdit>("edfilter"); }
    TSourceEditor* Source() const { return Find<TSourceEditor>("sourceeditor"); }
    // The source view's text, with line ends as LF, as the "Source" page shows it.
    std::string SourceText() const;
    // An element's XML text as the source view shows it.
    std::string ShownXml(const TqelXMLNode2* element) const { return Lf(Window->WorkDoc->GetNodeXML(element)); }
    static std::string Lf(std::string text);

    // The tree item reached from the top-level item by child rows: Item({}) is
    // the top, Item({0, 1}) the second child of its first child.
    QModelIndex Item(std::initializer_list<int> rows) const;
    void SelectItem(const QModelIndex& index) const;
    // Edits a tree item's label in place, as a person does: types text and Enter.
    void EditLabel(const QModelIndex& index, const QString& text) const;
    // Selects the item and lists its element (List Node), which selects its row.
    void ListItem(const QModelIndex& index);
    // The label of the selected tree item, or "" when none is selected.
    std::string SelectedLabel() const;
    // Labels of the shown tree: "label(child child(grandchild))".
    std::string TreeSignature() const;
    // The element of a tree item.
    static TqelXMLNode2* ElementOf(const QModelIndex& index) { return TElementTreeModel::Element(index); }
    void SelectRow(QTableView* list, int row) const;
    int SelectedRowOf(QTableView* list) const;

private:
    std::vector<std::unique_ptr<QAbstractItemModelTester>> FTesters;
};
