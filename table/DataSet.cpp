// Opening and closing, the buffer window and navigation of the dataset base.

#include "table/DataSet.h"

#include <algorithm>
#include <iostream>

namespace {

// Windows larger than this serve no grid and would only exhaust memory.
constexpr int MaxBufferCount = 4096;

TDataSet::TExceptionHandler& ApplicationExceptionHandler()
{
    static TDataSet::TExceptionHandler handler;
    return handler;
}

}  // namespace

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() = default;

void TDataSet::SetApplicationExceptionHandler(TExceptionHandler handler)
{
    ApplicationExceptionHandler() = std::move(handler);
}

void TDataSet::HandleException(const std::exception_ptr& error)
{
    std::string message = "Unknown error";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
    }
    if (const TExceptionHandler& handler = ApplicationExceptionHandler())
        handler(message);
    else
        std::cerr << message << '\n';
}

void TDataSet::CheckActive() const
{
    if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckNotBusy() const
{
    // A handler that moved or closed the dataset would pull the buffer it is given from under it.
    if (FState == TDataSetState::dsCalcFields || FState == TDataSetState::dsFilter)
        throw EDatabaseError("Cannot change the dataset while fields are calculated or records are filtered");
}

void TDataSet::CheckCanModify() const
{
    if (!CanModify()) throw EDatabaseError("Cannot modify a read-only dataset");
}

void TDataSet::CheckFieldWritable(const TField& field) const
{
    if (FReadingRow) throw EDatabaseError("Fields cannot receive values while another row is read");
    switch (FState) {
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsNewValue:
        return;
    case TDataSetState::dsCalcFields:
        if (field.IsCalculated()) return;
        throw EDatabaseError("Field \"" + field.FieldName() + "\" cannot be modified while fields are calculated");
    default:
        throw EDatabaseError("Dataset not in edit or insert mode");
    }
}

void TDataSet::SetState(TDataSetState state)
{
    if (FState == state) return;
    FState = state;
    NotifyStateChanged();
}

// ---- fields ----

TField& TDataSet::FieldByName(std::string_view name) const
{
    TField* field = FindField(name);
    if (!field) throw EDatabaseError("Field \"" + std::string(name) + "\" not found");
    return *field;
}

TField& TDataSet::CreateField(std::string name, TFieldType dataType, int size, TFieldKind kind)
{
    if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
    return FFields.Add(std::make_unique<TField>(*this, std::move(name), dataType, size, kind));
}

void TDataSet::CreateDefaultFields()
{
    if (!FDefaultFields) return;
    for (const TFieldDef& def : FFieldDefs)
        FFields.Add(std::make_unique<TField>(*this, def.Name, def.DataType, def.Size, TFieldKind::fkData));
}

void TDataSet::DestroyDefaultFields()
{
    if (FDefaultFields) FFields.Clear();
    FDefaultFields = false;
}

void TDataSet::BindFields(bool binding)
{
    FCalcFieldsSize = 0;
    FCalcFieldCount = 0;
    for (const auto& field : FFields) {
        field->FFieldNo = 0;
        field->FOffset = 0;
    }
    if (!binding) return;
    for (const auto& field : FFields) {
        if (field->IsCalculated()) {
            field->FOffset = FCalcFieldsSize;
            FCalcFieldsSize += 1 + field->DataSize();
            ++FCalcFieldCount;
            continue;
        }
        const int index = FFieldDefs.IndexOf(field->FieldName());
        if (index < 0) throw EDatabaseError("Field \"" + field->FieldName() + "\" not found");
        const TFieldDef& def = FFieldDefs[index];
        if (def.DataType != field->DataType() || def.Size != field->Size())
            throw EDatabaseError("Field \"" + field->FieldName() + "\" does not match its definition");
        field->FFieldNo = index + 1;
        field->FRequired = def.Required;
    }
}

void TDataSet::CalculateFields(TRecordBuffer& buffer)
{
    if (FCalcFieldCount == 0) return;
    TTempState calculating(*this, TDataSetState::dsCalcFields, &buffer);
    ClearCalcFields(buffer);
    if (FOnCalcFields) FOnCalcFields(*this);
}

TDataSet::TTempState::TTempState(TDataSet& dataSet, TDataSetState state, TRecordBuffer* calcBuffer)
    : FDataSet(dataSet), FSaved(dataSet.FState), FSavedCalc(dataSet.FCalcBuffer)
{
    FDataSet.FState = state;
    if (calcBuffer) FDataSet.FCalcBuffer = calcBuffer;
}

TDataSet::TTempState::~TTempState()
{
    FDataSet.FState = FSaved;
    FDataSet.FCalcBuffer = FSavedCalc;
}

// ---- opening and closing ----

void TDataSet::Open()
{
    if (Active()) return;
    FDefaultFields = FFields.Count() == 0;
    OpenCursor();
    if (!IsCursorOpen()) {
        FDefaultFields = false;
        throw EDatabaseError(CursorNotOpenMessage());
    }
    try {
        AllocateBuffers();
    } catch (...) {
        FreeBuffers();
        CloseCursor();
        throw;
    }
    FModified = false;
    SetState(TDataSetState::dsBrowse);
    First();
}

void TDataSet::Close()
{
    if (!Active()) return;
    CheckNotBusy();
    FreeBuffers();
    FModified = false;
    std::exception_ptr error;
    try {
        CloseCursor();
    } catch (...) {
        error = std::current_exception();
    }
    FBof = FEof = true;
    SetState(TDataSetState::dsInactive);
    if (error) std::rethrow_exception(error);
}

void TDataSet::AllocateBuffers()
{
    FBuffers.clear();
    FBuffers.reserve(static_cast<std::size_t>(FBufferCount) + 1);
    for (int i = 0; i <= FBufferCount; ++i) FBuffers.push_back(AllocateRecordBuffer());
    FTempBuffer = AllocateRecordBuffer();
    ClearWindow();
}

void TDataSet::FreeBuffers()
{
    for (auto& buffer : FBuffers)
        if (buffer) FreeRecordBuffer(buffer);
    FBuffers.clear();
    if (FTempBuffer) FreeRecordBuffer(FTempBuffer);
    FTempBuffer.reset();
    FCalcBuffer = nullptr;
    ClearWindow();
}

void TDataSet::SetBufferCount(int count)
{
    count = std::clamp(count, 1, MaxBufferCount);
    if (count == FBufferCount) return;
    if (!Active()) {
        FBufferCount = count;
        return;
    }
    CheckBrowseMode();
    PutCursorOnActiveRecord();
    const bool hadRecords = FRecordCount > 0;
    const int row = std::min(FActiveRecord, count - 1);
    FreeBuffers();
    FBufferCount = count;
    AllocateBuffers();
    if (!hadRecords)
        FillFromFirst();
    else if (!FillWindow({TGetMode::gmCurrent, TGetMode::gmNext, TGetMode::gmPrior}, row))
        EmptyWindow();
    NotifyDataChanged();
}

// ---- the window ----

TRecordBuffer* TDataSet::ActiveBuffer() const
{
    return FRecordCount > 0 ? FBuffers[static_cast<std::size_t>(FActiveRecord)].get() : nullptr;
}

void TDataSet::ClearWindow()
{
    FRecordCount = 0;
    FActiveRecord = 0;
}

void TDataSet::EmptyWindow()
{
    ClearWindow();
    FBof = FEof = true;
}

bool TDataSet::FetchToBack()
{
    const auto spare = FBuffers.begin() + FBufferCount;
    if (GetRecord(**spare, TGetMode::gmNext, false) != TGetResult::grOk) return false;
    if (FRecordCount < FBufferCount) {
        std::iter_swap(FBuffers.begin() + FRecordCount, spare);
        ++FRecordCount;
    } else {
        // The first row drops out into the spare entry.
        std::rotate(FBuffers.begin(), FBuffers.begin() + 1, FBuffers.end());
        FActiveRecord = std::max(FActiveRecord - 1, 0);
    }
    return true;
}

bool TDataSet::FetchToFront()
{
    const auto spare = FBuffers.begin() + FBufferCount;
    if (GetRecord(**spare, TGetMode::gmPrior, false) != TGetResult::grOk) return false;
    if (FRecordCount < FBufferCount) {
        std::iter_swap(FBuffers.begin() + FRecordCount, spare);
        std::rotate(FBuffers.begin(), FBuffers.begin() + FRecordCount, FBuffers.begin() + FRecordCount + 1);
        ++FRecordCount;
    } else {
        // The last row drops out into the spare entry.
        std::rotate(FBuffers.begin(), spare, FBuffers.end());
    }
    FActiveRecord = std::min(FActiveRecord + 1, FRecordCount - 1);
    return true;
}

bool TDataSet::FillWindow(std::initializer_list<TGetMode> modes, int row)
{
    const auto spare = FBuffers.begin() + FBufferCount;
    const bool found = std::any_of(modes.begin(), modes.end(), [&](TGetMode mode) {
        return GetRecord(**spare, mode, false) == TGetResult::grOk;
    });
    if (!found) return false;
    std::iter_swap(FBuffers.begin(), spare);
    FRecordCount = 1;
    FActiveRecord = 0;
    row = std::clamp(row, 0, FBufferCount - 1);
    while (FActiveRecord < row) {
        CursorToRecord(Buffer(0));
        if (!FetchToFront()) break;
    }
    while (FRecordCount < FBufferCount) {
        CursorToRecord(Buffer(FRecordCount - 1));
        if (!FetchToBack()) break;
    }
    while (FRecordCount < FBufferCount) {
        CursorToRecord(Buffer(0));
        if (!FetchToFront()) break;
    }
    FBof = FEof = false;
    return true;
}

void TDataSet::FillFromFirst()
{
    CursorToFirst();
    ClearWindow();
    while (FRecordCount < FBufferCount && FetchToBack()) {
    }
    FActiveRecord = 0;
    FBof = true;
    FEof = FRecordCount == 0;
}

void TDataSet::Resync()
{
    CheckActive();
    CheckNotBusy();
    if (!FillWindow({TGetMode::gmCurrent, TGetMode::gmNext, TGetMode::gmPrior}, FActiveRecord)) EmptyWindow();
    NotifyDataChanged();
}

void TDataSet::PutCursorOnActiveRecord()
{
    if (TRecordBuffer* active = ActiveBuffer()) CursorToRecord(*active);
}

TDataSet::TRowScope::TRowScope(TDataSet& dataSet, int row)
    : FDataSet(dataSet), FSavedRow(dataSet.FActiveRecord), FSavedReading(dataSet.FReadingRow)
{
    if (row < 0 || row >= dataSet.FRecordCount)
        throw EDatabaseError("Row " + std::to_string(row) + " is outside the window of " +
                             std::to_string(dataSet.FRecordCount) + " records");
    FDataSet.FActiveRecord = row;
    FDataSet.FReadingRow = true;
}

TDataSet::TRowScope::~TRowScope()
{
    // The window may have changed meanwhile; the row must stay inside it.
    FDataSet.FActiveRecord = std::min(FSavedRow, std::max(FDataSet.FRecordCount - 1, 0));
    FDataSet.FReadingRow = FSavedReading;
}

// ---- navigation ----

void TDataSet::First()
{
    CheckActive();
    CheckBrowseMode();
    FillFromFirst();
    NotifyDataChanged();
}

void TDataSet::Last()
{
    CheckActive();
    CheckBrowseMode();
    CursorToLast();
    ClearWindow();
    while (FRecordCount < FBufferCount && FetchToFront()) {
    }
    FActiveRecord = std::max(FRecordCount - 1, 0);
    FEof = true;
    FBof = FRecordCount == 0;
    NotifyDataChanged();
}

int TDataSet::MoveBy(int distance)
{
    CheckActive();
    CheckBrowseMode();
    int moved = 0;
    if (distance > 0) {
        FBof = false;
        while (moved < distance) {
            if (FActiveRecord < FRecordCount - 1) {
                ++FActiveRecord;
            } else {
                if (FRecordCount > 0) CursorToRecord(Buffer(FRecordCount - 1));
                if (FRecordCount == 0 || !FetchToBack()) {
                    FEof = true;
                    break;
                }
                FActiveRecord = FRecordCount - 1;
            }
            ++moved;
        }
    } else if (distance < 0) {
        FEof = false;
        while (moved > distance) {
            if (FActiveRecord > 0) {
                --FActiveRecord;
            } else {
                if (FRecordCount > 0) CursorToRecord(Buffer(0));
                if (FRecordCount == 0 || !FetchToFront()) {
                    FBof = true;
                    break;
                }
                FActiveRecord = 0;
            }
            --moved;
        }
    }
    if (FRecordCount == 0) FBof = FEof = true;
    if (moved != 0) NotifyScrolled(moved);
    return moved;
}

int TDataSet::RecNo()
{
    return Active() ? GetRecordNumber() : -1;
}

void TDataSet::SetRecNo(int recNo)
{
    CheckActive();
    CheckBrowseMode();
    SetRecordNumber(recNo);
}

int TDataSet::RecordCount() const
{
    return GetRecordCount();
}

// ---- bookmarks, filtering, blobs ----

TBookmark TDataSet::GetBookmark()
{
    const TRecordBuffer* active = Active() ? ActiveBuffer() : nullptr;
    if (!active || BookmarkSize() == 0 || GetBookmarkFlag(*active) != TBookmarkFlag::bfCurrent) return {};
    TBookmark bookmark(BookmarkSize());
    GetBookmarkData(*active, bookmark.data());
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckActive();
    CheckBrowseMode();
    if (bookmark.empty() || bookmark.size() != BookmarkSize()) throw EDatabaseError("Invalid bookmark");
    CursorToBookmark(bookmark);
    if (!FillWindow({TGetMode::gmCurrent}, FActiveRecord)) {
        PutCursorOnActiveRecord();
        throw EDatabaseError("Record not found");
    }
    NotifyDataChanged();
}

void TDataSet::SetFiltered(bool filtered)
{
    FFiltered = filtered;
}

std::unique_ptr<TMemoryStream> TDataSet::CreateBlobStream(TField& field, TBlobStreamMode)
{
    throw EDatabaseError("Field \"" + field.FieldName() + "\" has no blob stream");
}

// ---- notifications ----

void TDataSet::AttachObserver(TDataSetObserver& observer)
{
    if (std::find(FObservers.begin(), FObservers.end(), &observer) == FObservers.end())
        FObservers.push_back(&observer);
}

void TDataSet::DetachObserver(TDataSetObserver& observer)
{
    FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), &observer), FObservers.end());
}

template <class Event>
void TDataSet::Notify(Event event)
{
    // An observer may detach itself (or another) while it is told.
    const std::vector<TDataSetObserver*> observers = FObservers;
    for (TDataSetObserver* observer : observers)
        if (std::find(FObservers.begin(), FObservers.end(), observer) != FObservers.end()) event(*observer);
}

void TDataSet::NotifyDataChanged()
{
    Notify([this](TDataSetObserver& o) { o.DataChanged(*this); });
}

void TDataSet::NotifyStateChanged()
{
    Notify([this](TDataSetObserver& o) { o.StateChanged(*this); });
}

void TDataSet::NotifyScrolled(int distance)
{
    Notify([this, distance](TDataSetObserver& o) { o.Scrolled(*this, distance); });
}

void TDataSet::NotifyFieldChanged(TField& field)
{
    if (FState == TDataSetState::dsCalcFields || FState == TDataSetState::dsFilter ||
        FState == TDataSetState::dsNewValue)
        return;
    FModified = true;
    Notify([this, &field](TDataSetObserver& o) { o.FieldChanged(*this, field); });
}
