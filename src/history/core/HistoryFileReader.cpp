#include "history/core/HistoryFileReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "platform/RegularFile.h"

namespace {

// Records read one by one come from the stream's buffer, which keeps that
// from costing a system call every few records.
constexpr std::size_t StreamBufferSize = 1 << 18;
// Records read many at a time, most of them straight from the kernel: the
// stream copies through its buffer only what is shorter than the buffer.
constexpr std::size_t RecordsBufferSize = 1 << 20;

bool isValidHeader(const HistoryFileHeader& header)
{
    return header.ChannelCount > 0 && header.ChannelCount <= MaxGlobalChannels && header.RecordInterval > 0
        && std::isfinite(header.StartTime);
}

} // namespace

HistoryFileReader::HistoryFileReader()
    : header_(std::make_unique<HistoryFileHeader>()), record_(std::make_unique<HistoryRecord>())
{
}

HistoryFileReader::~HistoryFileReader()
{
    if (file_)
        std::fclose(file_);
}

HistoryFileReader::Opened HistoryFileReader::open(const std::string& path)
{
    bool notRegular;
    file_ = openRegularFile(QString::fromStdString(path), notRegular);
    if (!file_)
        return notRegular ? Opened::NotHistoryFile : Opened::CannotOpen;
    std::setvbuf(file_, nullptr, _IOFBF, StreamBufferSize);
    if (fseeko(file_, 0, SEEK_END) != 0)
        return Opened::CannotOpen;
    const off_t size = ftello(file_);
    if (size < 0 || fseeko(file_, 0, SEEK_SET) != 0)
        return Opened::CannotOpen;
    size_ = std::uint64_t(size);
    if (std::fread(header_.get(), HistoryHeaderSize, 1, file_) != 1 || !isValidHeader(*header_))
        return Opened::NotHistoryFile;
    position_ = std::int64_t(HistoryHeaderSize);
    recordsRoom_ = std::max<std::size_t>(RecordsBufferSize / historyRecordSize(channelCount()), 1);
    records_ = std::make_unique_for_overwrite<float[]>(recordsRoom_ * std::size_t(channelCount()));
    return Opened::Yes;
}

int HistoryFileReader::shownChannelCount() const
{
    return std::min(channelCount(), MaxShownChannels);
}

std::uint64_t HistoryFileReader::recordsFrom(std::int64_t offset) const
{
    if (offset < 0 || std::uint64_t(offset) > size_)
        return 0;
    return (size_ - std::uint64_t(offset)) / historyRecordSize(channelCount());
}

bool HistoryFileReader::isFile(int descriptor) const
{
    struct stat opened {}, other {};
    return file_ && fstat(fileno(file_), &opened) == 0 && fstat(descriptor, &other) == 0
        && opened.st_dev == other.st_dev && opened.st_ino == other.st_ino;
}

bool HistoryFileReader::seek(std::int64_t offset)
{
    if (offset < 0 || fseeko(file_, off_t(offset), SEEK_SET) != 0)
        return false;
    position_ = offset;
    return true;
}

bool HistoryFileReader::seekRecord(std::int64_t k)
{
    const auto recordSize = std::int64_t(historyRecordSize(channelCount()));
    const auto header = std::int64_t(HistoryHeaderSize);
    const std::int64_t lastOffsetable = (std::numeric_limits<std::int64_t>::max() - header) / recordSize;
    return k >= 0 && k <= lastOffsetable && seek(header + k * recordSize);
}

bool HistoryFileReader::readRecord(float* values)
{
    const std::size_t size = historyRecordSize(channelCount());
    if (std::fread(record_.get(), size, 1, file_) != 1) {
        // A partial record is left where it lies: the next read starts at it.
        fseeko(file_, off_t(position_), SEEK_SET);
        return false;
    }
    position_ += std::int64_t(size);
    std::memcpy(values, record_->Values, sizeof(float) * std::size_t(shownChannelCount()));
    return true;
}

int HistoryFileReader::readRecords(int count)
{
    const std::size_t size = historyRecordSize(channelCount());
    const std::size_t wanted = std::min(std::size_t(std::max(count, 0)), recordsRoom_);
    const std::size_t read = std::fread(records_.get(), size, wanted, file_);
    position_ += std::int64_t(read * size);
    // A partial record after the whole ones is left for the next read.
    if (read < wanted)
        fseeko(file_, off_t(position_), SEEK_SET);
    return int(read);
}
