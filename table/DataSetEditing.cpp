// Editing, inserting, posting, cancelling and deleting records.

#include <algorithm>

#include "table/DataSet.h"

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    CheckNotBusy();
    if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert) return;
    if (FModified)
        Post();
    else
        Cancel();
}

void TDataSet::RefillAroundActive()
{
    PutCursorOnActiveRecord();
    if (!FillWindow({TGetMode::gmCurrent, TGetMode::gmNext, TGetMode::gmPrior}, FActiveRecord)) EmptyWindow();
}

void TDataSet::Edit()
{
    CheckActive();
    CheckNotBusy();
    if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckCanModify();
    BeginEditing();
    // The edit starts from what is stored now; a record that is gone cannot be edited.
    if (GetRecord(*ActiveBuffer(), TGetMode::gmCurrent, true) != TGetResult::grOk)
        throw EDatabaseError("Record not found");
    FModified = false;
    SetState(TDataSetState::dsEdit);
}

TRecordBuffer& TDataSet::PrepareNewRecord(TBookmarkFlag flag)
{
    TRecordBuffer& buffer = Buffer(FBufferCount);
    InitialiseRecordBuffer(buffer);
    SetBookmarkFlag(buffer, flag);
    return buffer;
}

void TDataSet::BeginNewRecord()
{
    FBof = FEof = false;
    BeginInserting();
    FModified = false;
    FState = TDataSetState::dsInsert;
    CalculateFields(*ActiveBuffer());
    NotifyStateChanged();
    NotifyDataChanged();
}

void TDataSet::Insert()
{
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    PrepareNewRecord(TBookmarkFlag::bfInserted);
    const auto begin = FBuffers.begin();
    const auto spare = begin + FBufferCount;
    if (FRecordCount == 0) FActiveRecord = 0;
    if (FRecordCount < FBufferCount) {
        std::iter_swap(begin + FRecordCount, spare);
        std::rotate(begin + FActiveRecord, begin + FRecordCount, begin + FRecordCount + 1);
        ++FRecordCount;
    } else {
        // The last row drops out into the spare entry.
        std::rotate(begin + FActiveRecord, spare, FBuffers.end());
    }
    BeginNewRecord();
}

void TDataSet::Append()
{
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    // The last records stay in view above the new one.
    CursorToLast();
    ClearWindow();
    while (FRecordCount < FBufferCount - 1 && FetchToFront()) {
    }
    PrepareNewRecord(TBookmarkFlag::bfEOF);
    std::iter_swap(FBuffers.begin() + FRecordCount, FBuffers.begin() + FBufferCount);
    FActiveRecord = FRecordCount++;
    BeginNewRecord();
}

void TDataSet::Post()
{
    CheckActive();
    CheckNotBusy();
    if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert) return;
    const bool inserting = FState == TDataSetState::dsInsert;
    TRecordBuffer& active = *ActiveBuffer();
    if (inserting && GetBookmarkFlag(active) == TBookmarkFlag::bfEOF)
        AddRecord(active, true);
    else
        PostRecord();
    FModified = false;
    FState = TDataSetState::dsBrowse;
    if (inserting) {
        // The store leaves its cursor just before the record it added.
        if (!FillWindow({TGetMode::gmNext, TGetMode::gmCurrent, TGetMode::gmPrior}, FActiveRecord)) EmptyWindow();
    } else {
        RefillAroundActive();
    }
    NotifyStateChanged();
    NotifyDataChanged();
}

void TDataSet::Cancel()
{
    CheckActive();
    CheckNotBusy();
    if (FState == TDataSetState::dsEdit) {
        FState = TDataSetState::dsBrowse;
        FModified = false;
        RefillAroundActive();
    } else if (FState == TDataSetState::dsInsert) {
        FState = TDataSetState::dsBrowse;
        FModified = false;
        // The new record leaves the window; the rows after it move up.
        const auto begin = FBuffers.begin();
        std::rotate(begin + FActiveRecord, begin + FActiveRecord + 1, begin + FRecordCount);
        --FRecordCount;
        if (FRecordCount == 0) {
            FillFromFirst();
        } else {
            FActiveRecord = std::min(FActiveRecord, FRecordCount - 1);
            RefillAroundActive();
        }
    } else {
        return;
    }
    NotifyStateChanged();
    NotifyDataChanged();
}

void TDataSet::Delete()
{
    CheckActive();
    CheckNotBusy();
    if (FState == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) throw EDatabaseError("Cannot perform this operation on an empty dataset");
    CheckCanModify();
    DeleteRecord();
    const bool wasEditing = FState == TDataSetState::dsEdit;
    FState = TDataSetState::dsBrowse;
    FModified = false;
    // The cursor stays where the deleted record was: the record after it, if any, is there now.
    if (!FillWindow({TGetMode::gmCurrent, TGetMode::gmNext, TGetMode::gmPrior}, FActiveRecord)) EmptyWindow();
    if (wasEditing) NotifyStateChanged();
    NotifyDataChanged();
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    if (FRecordCount == 0)
        FillFromFirst();
    else
        RefillAroundActive();
    NotifyDataChanged();
}
