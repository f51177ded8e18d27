#pragma once
// The record navigator: ten flat buttons that move through a dataset and edit
// its records (first, prior, next, last, insert, delete, edit, post, cancel,
// refresh). Each button is enabled only while its action can do something, and
// the buttons follow the dataset's notifications.

#include <QWidget>

#include <array>
#include <functional>

#include "app/DataSource.h"

class QToolButton;

class TDBNavigator : public QWidget {
public:
    enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
    static constexpr int ButtonCount = nbRefresh + 1;

    explicit TDBNavigator(QWidget* parent = nullptr);

    // The source whose dataset the buttons act on; it outlives the navigator's use of it (not owned).
    void SetDataSource(TDataSource* source);
    // Runs the buttons' actions through guard, which reports what they raise.
    void SetCommandGuard(std::function<bool(const std::function<void()>&)> guard) { FGuard = std::move(guard); }
    // Asked before a record is deleted; true goes ahead. Without one the record is deleted.
    void SetConfirmDelete(std::function<bool(const QString&)> confirm) { FConfirmDelete = std::move(confirm); }
    // Runs before every action: the grid hands over what is being typed into a cell.
    void SetBeforeAction(std::function<void()> before) { FBeforeAction = std::move(before); }

    QToolButton* Button(TNavigateBtn button) const { return FButtons[button]; }
    // Carries out a button's action as a click does (nothing while it is disabled).
    void BtnClick(TNavigateBtn button);
    // Enables each button by what its action can do now.
    void UpdateButtons();

private:
    std::array<QToolButton*, ButtonCount> FButtons{};  // owned through Qt's parent chain
    TDataSource* FSource = nullptr;                    // not owned
    std::function<bool(const std::function<void()>&)> FGuard;
    std::function<bool(const QString&)> FConfirmDelete;
    std::function<void()> FBeforeAction;

    void Act(TNavigateBtn button, TDataSet& dataSet);
};
