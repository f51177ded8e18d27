#include "table/BaseDataset.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/DateText.h"
#include "core/NumberText.h"

namespace {

constexpr std::int64_t MillisecondsPerDay = 86'400'000;

// Bytes of the types whose slot holds the native value as it is; 0 for the others.
std::size_t SameFormBytes(TFieldType type)
{
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        return 4;
    case TFieldType::ftBoolean:
        return 2;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftDateTime:
        return 8;
    default:
        return 0;
    }
}

}  // namespace

std::size_t FieldSlotSize(TFieldType type, int size)
{
    switch (type) {
    case TFieldType::ftString:
        return static_cast<std::size_t>(std::max(size, 0)) + 1;
    case TFieldType::ftDate:     // whole day count
    case TFieldType::ftTime:     // milliseconds of the day
    case TFieldType::ftMemo:     // stream handle
    case TFieldType::ftGraphic:  // stream handle
        return 4;
    default:
        return SameFormBytes(type);
    }
}

void CheckRecordSize(std::size_t recordSize)
{
    if (recordSize > MaxRecordSize)
        throw EDatabaseError("The fields need records of " + std::to_string(recordSize) +
                             " bytes; a record may hold at most " + std::to_string(MaxRecordSize) + " bytes");
}

namespace {

template <class T>
T Load(const std::byte* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <class T>
void Save(std::byte* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

// The whole day count of a date serial number; 0 outside the valid years.
std::int32_t DayCount(double value)
{
    if (!std::isfinite(value) || value <= MinDateValue - 1 || value >= MaxDateValue + 1) return 0;
    return static_cast<std::int32_t>(DateDay(value));
}

std::int32_t TimeMilliseconds(double value)
{
    if (!std::isfinite(value)) return 0;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(std::llround(DateTimeOfDay(value) * MillisecondsPerDay), MillisecondsPerDay - 1));
}

// Length of the zero-terminated text at text, looking at no more than limit bytes.
std::size_t BoundedLength(const void* text, std::size_t limit)
{
    const void* end = std::memchr(text, 0, limit);
    return end ? static_cast<std::size_t>(static_cast<const char*>(end) - static_cast<const char*>(text)) : limit;
}

TQvRecordBuffer& QvBuffer(TRecordBuffer& buffer)
{
    return static_cast<TQvRecordBuffer&>(buffer);
}

const TQvRecordBuffer& QvBuffer(const TRecordBuffer& buffer)
{
    return static_cast<const TQvRecordBuffer&>(buffer);
}

}  // namespace

// ---- store values ----

std::string QvValueText(const TQvValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return IntToText(*number);
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
    std::string text;
    if (const auto* real = std::get_if<double>(&value); real && !FloatToText(*real, text)) text.clear();
    return text;
}

std::int32_t QvValueInt32(const TQvValue& value)
{
    std::int32_t result = 0;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
    if (const auto* text = std::get_if<std::string>(&value); text && TextToInt(*text, result)) return result;
    if (const auto* real = std::get_if<double>(&value); real && RoundToInt32(*real, result)) return result;
    return 0;
}

bool QvValueBoolean(const TQvValue& value)
{
    bool result = false;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number != 0;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag;
    if (const auto* real = std::get_if<double>(&value)) return *real != 0;
    if (const auto* text = std::get_if<std::string>(&value); text && TextToBoolean(*text, result)) return result;
    return false;
}

double QvValueDouble(const TQvValue& value)
{
    double result = 0;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
    if (const auto* real = std::get_if<double>(&value)) return *real;
    if (const auto* text = std::get_if<std::string>(&value); text && TextToFloat(*text, result)) return result;
    return 0;
}

// ---- layout ----

TQvBaseDataset::TQvBaseDataset() = default;

TQvBaseDataset::~TQvBaseDataset() = default;

void TQvBaseDataset::BuildLayout()
{
    ClearLayout();
    const TFieldDefs& defs = FieldDefs();
    std::size_t offset = 0;
    for (const TFieldDef& def : defs) {
        FFieldNames.push_back(def.Name);
        FOffsets.push_back(offset);
        offset += FieldSlotSize(def.DataType, def.Size);
    }
    FDataSize = offset;
    FCalcOffset = FDataSize + sizeof(TRecordInfo);
    CheckRecordSize(RecordSize());
    for (const auto& field : Fields()) {
        if (field->IsCalculated()) continue;
        const auto index = static_cast<std::size_t>(field->FieldNo() - 1);
        FSlots.push_back({field.get(), field->DataType(), FOffsets[index], static_cast<std::size_t>(field->Size())});
    }
}

void TQvBaseDataset::ClearLayout()
{
    FFieldNames.clear();
    FOffsets.clear();
    FSlots.clear();
    FDataSize = 0;
    FCalcOffset = sizeof(TRecordInfo);
}

std::size_t TQvBaseDataset::RecordSize() const
{
    return FDataSize + sizeof(TRecordInfo) + CalcFieldsSize();
}

std::size_t TQvBaseDataset::FieldOffset(const TField& field) const
{
    const int no = field.FieldNo();
    return no >= 1 && static_cast<std::size_t>(no) <= FOffsets.size() ? FOffsets[static_cast<std::size_t>(no - 1)] : 0;
}

TRecordInfo TQvBaseDataset::RecordInfo(const TRecordBuffer& buffer) const
{
    TRecordInfo info;
    std::memcpy(&info, buffer.Data() + FDataSize, sizeof info);
    return info;
}

void TQvBaseDataset::WriteRecordInfo(TRecordBuffer& buffer, const TRecordInfo& info) const
{
    std::memcpy(buffer.Data() + FDataSize, &info, sizeof info);
}

TRecordBuffer* TQvBaseDataset::CurrentBuffer() const
{
    switch (State()) {
    case TDataSetState::dsBrowse:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
        return ActiveBuffer();
    case TDataSetState::dsCalcFields:
        return CalcBuffer();
    case TDataSetState::dsFilter:
        return TempBuffer();
    default:
        return nullptr;
    }
}

// ---- opening and closing ----

void TQvBaseDataset::OpenCursor()
{
    FCursorOpen = false;
    if (!OpenStore()) return;
    try {
        FieldDefs().Clear();
        DefineFields();
        CreateDefaultFields();
        BindFields(true);
        BuildLayout();
    } catch (...) {
        // Nothing of the failed open stays behind; the store itself only moved its cursor.
        BindFields(false);
        DestroyDefaultFields();
        FieldDefs().Clear();
        ClearLayout();
        throw;
    }
    FCursorOpen = true;
}

void TQvBaseDataset::CloseCursor()
{
    BindFields(false);
    DestroyDefaultFields();
    ClearLayout();
    FCursorOpen = false;
    CloseStore();
}

// ---- buffers ----

std::unique_ptr<TRecordBuffer> TQvBaseDataset::AllocateRecordBuffer()
{
    auto buffer = std::make_unique<TQvRecordBuffer>(RecordSize());
    WriteRecordInfo(*buffer, TRecordInfo{});
    CreateBlobStreams(*buffer);
    return buffer;
}

void TQvBaseDataset::FreeRecordBuffer(std::unique_ptr<TRecordBuffer>& buffer)
{
    ReleaseBufferExtras(*buffer);
    buffer.reset();
}

void TQvBaseDataset::InitialiseRecordBuffer(TRecordBuffer& buffer)
{
    ReleaseBufferExtras(buffer);
    std::memset(buffer.Data(), 0, buffer.Size());
    WriteRecordInfo(buffer, TRecordInfo{});
    CreateBlobStreams(buffer);
}

void TQvBaseDataset::CreateBlobStreams(TRecordBuffer& buffer)
{
    TQvRecordBuffer& owner = QvBuffer(buffer);
    for (const TSlot& slot : FSlots) {
        if (!IsBlobType(slot.Type)) continue;
        owner.Streams.push_back(std::make_unique<TMemoryStream>());
        Save<std::uint32_t>(buffer.Data() + slot.Offset, static_cast<std::uint32_t>(owner.Streams.size()));
    }
}

void TQvBaseDataset::FreeBlobStreams(TRecordBuffer& buffer)
{
    TQvRecordBuffer& owner = QvBuffer(buffer);
    for (const TSlot& slot : FSlots) {
        if (!IsBlobType(slot.Type)) continue;
        const auto handle = Load<std::uint32_t>(buffer.Data() + slot.Offset);
        if (handle >= 1 && handle <= owner.Streams.size()) owner.Streams[handle - 1].reset();
        Save<std::uint32_t>(buffer.Data() + slot.Offset, 0);
    }
    owner.Streams.clear();
}

void TQvBaseDataset::ReleaseBufferExtras(TRecordBuffer& buffer)
{
    FreeBlobStreams(buffer);
    TRecordInfo info = RecordInfo(buffer);
    ReleaseRecordId(info.RecordId);
    QvBuffer(buffer).BookmarkCopy.reset();
    info.Bookmark = nullptr;
    WriteRecordInfo(buffer, info);
}

TMemoryStream* TQvBaseDataset::BufferStream(const TRecordBuffer& buffer, const TField& field) const
{
    if (!field.IsBlob() || field.IsCalculated() || field.FieldNo() < 1) return nullptr;
    const auto handle = Load<std::uint32_t>(buffer.Data() + FieldOffset(field));
    const TQvRecordBuffer& owner = QvBuffer(buffer);
    return handle >= 1 && handle <= owner.Streams.size() ? owner.Streams[handle - 1].get() : nullptr;
}

// ---- moving records between the store and the buffers ----

void TQvBaseDataset::StoreValue(TRecordBuffer& buffer, const TSlot& slot, const TQvValue& value) const
{
    std::byte* at = buffer.Data() + slot.Offset;
    switch (slot.Type) {
    case TFieldType::ftString: {
        const std::string text = QvValueText(value);
        const std::size_t n = std::min(text.size(), slot.Size);
        std::memcpy(at, text.data(), n);
        at[n] = std::byte{0};
        break;
    }
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        Save<std::int32_t>(at, QvValueInt32(value));
        break;
    case TFieldType::ftDate:
        Save<std::int32_t>(at, DayCount(QvValueDouble(value)));
        break;
    case TFieldType::ftTime:
        Save<std::int32_t>(at, TimeMilliseconds(QvValueDouble(value)));
        break;
    case TFieldType::ftBoolean:
        Save<std::uint16_t>(at, QvValueBoolean(value) ? 1 : 0);
        break;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftDateTime:
        Save<double>(at, QvValueDouble(value));
        break;
    default:
        break;
    }
}

void TQvBaseDataset::LoadBuffer(TRecordBuffer& buffer)
{
    TRecordInfo info = RecordInfo(buffer);
    info.RecordId = CurrentRecordId();
    info.BookmarkFlag = 0;
    TQvRecordBuffer& owner = QvBuffer(buffer);
    if (const std::size_t length = BookmarkLength(); length > 0) {
        if (!owner.BookmarkCopy) owner.BookmarkCopy = std::make_unique<std::byte[]>(length);
        FillBookmark(info.RecordId, owner.BookmarkCopy.get());
        info.Bookmark = owner.BookmarkCopy.get();
    } else {
        info.Bookmark = nullptr;
    }
    WriteRecordInfo(buffer, info);
    BeginRead();
    try {
        for (const TSlot& slot : FSlots) {
            if (IsBlobType(slot.Type)) {
                if (TMemoryStream* stream = BufferStream(buffer, *slot.Field)) {
                    stream->Clear();
                    ReadBlob(*slot.Field, *stream);
                }
            } else {
                StoreValue(buffer, slot, ReadFieldValue(*slot.Field));
            }
        }
    } catch (...) {
        EndRead();
        throw;
    }
    EndRead();
}

void TQvBaseDataset::StoreBuffer(TRecordBuffer& buffer)
{
    for (const TSlot& slot : FSlots) {
        const std::byte* at = buffer.Data() + slot.Offset;
        const TField& field = *slot.Field;
        switch (slot.Type) {
        case TFieldType::ftString: {
            WriteFieldValue(field, std::string(reinterpret_cast<const char*>(at), BoundedLength(at, slot.Size)));
            break;
        }
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger:
            WriteFieldValue(field, Load<std::int32_t>(at));
            break;
        case TFieldType::ftDate:
            WriteFieldValue(field, static_cast<double>(Load<std::int32_t>(at)));
            break;
        case TFieldType::ftTime:
            WriteFieldValue(field, static_cast<double>(Load<std::int32_t>(at)) / MillisecondsPerDay);
            break;
        case TFieldType::ftBoolean:
            WriteFieldValue(field, Load<std::uint16_t>(at) != 0);
            break;
        case TFieldType::ftFloat:
        case TFieldType::ftCurrency:
        case TFieldType::ftBCD:
        case TFieldType::ftDateTime:
            WriteFieldValue(field, Load<double>(at));
            break;
        case TFieldType::ftMemo:
        case TFieldType::ftGraphic:
            if (TMemoryStream* stream = BufferStream(buffer, field)) {
                stream->SetPosition(0);
                WriteBlob(field, *stream);
            }
            break;
        default:
            break;
        }
    }
}

// ---- the framework's requests ----

bool TQvBaseDataset::FilterAccepts()
{
    const TFilterRecordEvent& handler = OnFilterRecord();
    if (!handler) return true;
    bool accept = true;
    TTempState filtering(*this, TDataSetState::dsFilter);
    LoadBuffer(*TempBuffer());
    try {
        handler(*this, accept);
    } catch (...) {
        HandleException(std::current_exception());
    }
    return accept;
}

TGetResult TQvBaseDataset::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool check)
{
    for (;;) {
        const TStepResult result = Step(mode);
        if (result == TStepResult::grError && check) throw EDatabaseError("No Records");
        if (result != TStepResult::grOk) return result;
        if (!Filtered() || FilterAccepts()) {
            LoadBuffer(buffer);
            ClearCalcFields(buffer);
            CalculateFields(buffer);
            return result;
        }
        // Asking for the current record again would give the same rejected record.
        if (mode == TGetMode::gmCurrent) return TStepResult::grEof;
    }
}

void TQvBaseDataset::CursorToRecord(const TRecordBuffer& buffer)
{
    MoveToRecordId(RecordInfo(buffer).RecordId);
}

void TQvBaseDataset::GetBookmarkData(const TRecordBuffer& buffer, std::byte* destination)
{
    if (BookmarkLength() > 0) FillBookmark(RecordInfo(buffer).RecordId, destination);
}

void TQvBaseDataset::SetBookmarkData(TRecordBuffer& buffer, const std::byte* source)
{
    const std::size_t length = BookmarkLength();
    if (length == 0) return;
    TQvRecordBuffer& owner = QvBuffer(buffer);
    if (!owner.BookmarkCopy) owner.BookmarkCopy = std::make_unique<std::byte[]>(length);
    std::memcpy(owner.BookmarkCopy.get(), source, length);
    TRecordInfo info = RecordInfo(buffer);
    info.Bookmark = owner.BookmarkCopy.get();
    WriteRecordInfo(buffer, info);
}

TBookmarkFlag TQvBaseDataset::GetBookmarkFlag(const TRecordBuffer& buffer) const
{
    return static_cast<TBookmarkFlag>(RecordInfo(buffer).BookmarkFlag);
}

void TQvBaseDataset::SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag)
{
    TRecordInfo info = RecordInfo(buffer);
    info.BookmarkFlag = static_cast<std::uint8_t>(flag);
    WriteRecordInfo(buffer, info);
}

bool TQvBaseDataset::GetFieldData(const TField& field, void* destination) const
{
    const TRecordBuffer* buffer = FCursorOpen ? CurrentBuffer() : nullptr;
    if (!buffer) return false;
    if (field.IsCalculated()) {
        const std::byte* at = buffer->Data() + FCalcOffset + field.Offset();
        if (at[0] == std::byte{0}) return false;
        if (destination) std::memcpy(destination, at + 1, field.DataSize());
        return true;
    }
    if (!destination || field.FieldNo() < 1) return true;
    const std::byte* at = buffer->Data() + FieldOffset(field);
    auto* to = static_cast<std::byte*>(destination);
    switch (field.DataType()) {
    case TFieldType::ftString: {
        const std::size_t n = BoundedLength(at, static_cast<std::size_t>(field.Size()));
        std::memcpy(to, at, n);
        to[n] = std::byte{0};
        break;
    }
    case TFieldType::ftDate:
        Save<double>(to, Load<std::int32_t>(at));
        break;
    case TFieldType::ftTime:
        Save<double>(to, static_cast<double>(Load<std::int32_t>(at)) / MillisecondsPerDay);
        break;
    default:
        std::memcpy(to, at, SameFormBytes(field.DataType()));
        break;
    }
    return true;
}

void TQvBaseDataset::SetFieldData(TField& field, const void* source)
{
    TRecordBuffer* buffer = Active() ? CurrentBuffer() : nullptr;
    if (!buffer || !source) return;
    if (field.IsCalculated()) {
        std::byte* at = buffer->Data() + FCalcOffset + field.Offset();
        at[0] = std::byte{1};
        std::memcpy(at + 1, source, field.DataSize());
    } else if (field.FieldNo() >= 1) {
        std::byte* at = buffer->Data() + FieldOffset(field);
        const auto* from = static_cast<const std::byte*>(source);
        switch (field.DataType()) {
        case TFieldType::ftString: {
            const std::size_t n = BoundedLength(from, static_cast<std::size_t>(field.Size()));
            std::memcpy(at, from, n);
            at[n] = std::byte{0};
            break;
        }
        case TFieldType::ftDate:
            Save<std::int32_t>(at, DayCount(Load<double>(from)));
            break;
        case TFieldType::ftTime:
            Save<std::int32_t>(at, TimeMilliseconds(Load<double>(from)));
            break;
        default:
            std::memcpy(at, from, SameFormBytes(field.DataType()));
            break;
        }
    }
    NotifyFieldChanged(field);
}

void TQvBaseDataset::ClearCalcFields(TRecordBuffer& buffer)
{
    std::memset(buffer.Data() + FCalcOffset, 0, CalcFieldsSize());
}

void TQvBaseDataset::BeginEditing()
{
    if (const TRecordBuffer* buffer = CurrentBuffer()) MoveToRecordId(RecordInfo(*buffer).RecordId);
}

void TQvBaseDataset::PostRecord()
{
    if (!FCursorOpen) return;
    const bool inserting = State() == TDataSetState::dsInsert;
    BeginWrite(inserting);
    try {
        StoreBuffer(*CurrentBuffer());
    } catch (...) {
        EndWrite(inserting);
        throw;
    }
    EndWrite(inserting);
}

void TQvBaseDataset::AddRecord(TRecordBuffer& buffer, bool append)
{
    if (append) MoveAfterLast();
    BeginWrite(true);
    try {
        StoreBuffer(buffer);
    } catch (...) {
        EndWrite(true);
        throw;
    }
    EndWrite(true);
}

std::unique_ptr<TMemoryStream> TQvBaseDataset::CreateBlobStream(TField& field, TBlobStreamMode mode)
{
    return std::make_unique<TQvBlobStream>(field, mode);
}

void TQvBaseDataset::SetFiltered(bool filtered)
{
    TDataSet::SetFiltered(filtered);
    if (Active()) First();
}

// ---- blob streams ----

namespace {
TQvBaseDataset& QvDataSetOf(TField& field)
{
    auto* dataSet = dynamic_cast<TQvBaseDataset*>(&field.DataSet());
    if (!dataSet) throw EDatabaseError("Field \"" + field.FieldName() + "\" has no blob stream");
    return *dataSet;
}
}  // namespace

TQvBlobStream::TQvBlobStream(TField& field, TBlobStreamMode mode)
    : FField(field), FDataSet(QvDataSetOf(field)), FMode(mode)
{
    if (mode == TBlobStreamMode::bmWrite) return;
    const TRecordBuffer* buffer = FDataSet.CurrentBuffer();
    const TMemoryStream* source = buffer ? FDataSet.BufferStream(*buffer, field) : nullptr;
    Assign(source ? source->View() : std::string_view());
}

TQvBlobStream::~TQvBlobStream()
{
    if (!Modified()) return;
    try {
        const TRecordBuffer* buffer = FDataSet.CurrentBuffer();
        if (TMemoryStream* target = buffer ? FDataSet.BufferStream(*buffer, FField) : nullptr) target->Assign(View());
    } catch (...) {
        // Only running out of memory can end here; the record keeps its old content.
    }
    FBuffer.ResetWritten();
}
