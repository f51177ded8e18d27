#include "app/DBNavigator.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QToolButton>

namespace {

struct TButtonLook {
    const char* Name;
    const char* ThemeIcon;
    const char* Fallback;
    const char* Hint;
};

// In the order of TDBNavigator::TNavigateBtn.
constexpr TButtonLook KButtons[TDBNavigator::ButtonCount] = {
    {"nbFirst", "go-first", ":/icons/nav-first.png", "First record"},
    {"nbPrior", "go-previous", ":/icons/nav-prior.png", "Prior record"},
    {"nbNext", "go-next", ":/icons/nav-next.png", "Next record"},
    {"nbLast", "go-last", ":/icons/nav-last.png", "Last record"},
    {"nbInsert", "list-add", ":/icons/nav-insert.png", "Insert record"},
    {"nbDelete", "list-remove", ":/icons/nav-delete.png", "Delete record"},
    {"nbEdit", "document-edit", ":/icons/nav-edit.png", "Edit record"},
    {"nbPost", "dialog-ok-apply", ":/icons/nav-post.png", "Post edit"},
    {"nbCancel", "dialog-cancel", ":/icons/nav-cancel.png", "Cancel edit"},
    {"nbRefresh", "view-refresh", ":/icons/nav-refresh.png", "Refresh data"},
};

bool IsEditing(const TDataSet& dataSet)
{
    return dataSet.State() == TDataSetState::dsEdit || dataSet.State() == TDataSetState::dsInsert;
}

}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        const TButtonLook& look = KButtons[i];
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(look.Name));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(look.ThemeIcon), QIcon(QString::fromLatin1(look.Fallback))));
        button->setToolTip(QString::fromLatin1(look.Hint));
        button->setStatusTip(QString::fromLatin1(look.Hint));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        const auto which = static_cast<TNavigateBtn>(i);
        connect(button, &QToolButton::clicked, this, [this, which] { BtnClick(which); });
        layout->addWidget(button);
        FButtons[static_cast<std::size_t>(i)] = button;
    }
    UpdateButtons();
}

void TDBNavigator::SetDataSource(TDataSource* source)
{
    FSource = source;
    if (source) connect(source, &TDataSource::changed, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

void TDBNavigator::UpdateButtons()
{
    const TDataSet* dataSet = FSource ? &FSource->DataSet() : nullptr;
    const bool active = dataSet && dataSet->Active();
    const bool editing = active && IsEditing(*dataSet);
    const bool modifiable = active && dataSet->CanModifyRecords();
    const bool bof = !active || dataSet->Bof();
    const bool eof = !active || dataSet->Eof();
    const bool enabled[ButtonCount] = {
        !bof,                               // first
        !bof,                               // prior
        !eof,                               // next
        !eof,                               // last
        modifiable,                         // insert
        modifiable && !(bof && eof),        // delete: there is a record
        modifiable && !editing,             // edit
        editing,                            // post
        editing,                            // cancel
        active && !editing,                 // refresh
    };
    for (int i = 0; i < ButtonCount; ++i) FButtons[static_cast<std::size_t>(i)]->setEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(TNavigateBtn button)
{
    if (!FSource || !FButtons[button]->isEnabled()) return;
    const auto action = [this, button] {
        if (FBeforeAction) FBeforeAction();
        Act(button, FSource->DataSet());
    };
    if (FGuard)
        FGuard(action);
    else
        action();
    // A move stopped at an end sets Bof or Eof without a notification.
    FSource->Touch();
}

void TDBNavigator::Act(TNavigateBtn button, TDataSet& dataSet)
{
    switch (button) {
    case nbFirst:
        dataSet.First();
        break;
    case nbPrior:
        dataSet.Prior();
        break;
    case nbNext:
        dataSet.Next();
        break;
    case nbLast:
        dataSet.Last();
        break;
    case nbInsert:
        dataSet.Insert();
        break;
    case nbDelete:
        if (!FConfirmDelete || FConfirmDelete(QStringLiteral("Delete record?"))) dataSet.Delete();
        break;
    case nbEdit:
        dataSet.Edit();
        break;
    case nbPost:
        dataSet.Post();
        break;
    case nbCancel:
        dataSet.Cancel();
        break;
    case nbRefresh:
        dataSet.Refresh();
        break;
    }
}
