#include "detail/SegmentScan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/BlockFilter.h"
#include "detail/Check.h"
#include "engine/DataOutput.h"
#include "detail/DxfLineReader.h"
#include "engine/RunSettings.h"

namespace quarrow {
namespace {

// How far the search for a chunk's first line looks; DXF writes a "0" group code every few
// dozen lines, so a chunk without one in its first 64 KiB is simply read on this thread.
constexpr std::size_t kStartSearchSpan = 64 * 1024;
// Chunks read ahead and not yet taken: a few, so that neither thread waits for the other
// when one chunk happens to take longer than the next.
constexpr std::size_t kSlots = 3;
// Room past the span for the type line that follows the "0" line.
constexpr std::size_t kStartSearchTail = 256;

// True when the line holds the group code 0 ("  0", "0", " 0\r").
bool IsCodeZeroLine(std::string_view line) noexcept {
    bool zero = false;
    for (const char c : line) {
        if (c == '0' && !zero)
            zero = true;
        else if (c != ' ' && c != '\r')
            return false;
    }
    return zero;
}

// True for a line that can start a chunk: an entity name (capitals, digits, '_', a capital
// at least, so that the group code after a layer named "0" is not taken for one), but not one
// that continues the entity before it.
bool IsChunkTypeLine(std::string_view line) noexcept {
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.empty() || line.size() > 32)
        return false;
    bool letter = false;
    for (const char c : line) {
        if (c >= 'A' && c <= 'Z')
            letter = true;
        else if (!((c >= '0' && c <= '9') || c == '_'))
            return false;
    }
    return letter && line != "VERTEX" && line != "SEQEND";
}

// The second thread's reading of one chunk.
struct Segment {
    enum class State { Free, Started, Done };
    State Status = State::Free;
    std::uint64_t Chunk = 0;                // which chunk (odd numbers)
    std::uint64_t Start = kNoSegmentStart;  // its first line, or none
    std::atomic<bool> Abandon{false};       // this thread no longer needs it

    // Results, valid once Done.
    bool Usable = false;  // read to its stop (or to the scan's end) without error
    DispatchEnd Ended = DispatchEnd::Stopped;  // InputEnded or SectionEnded: the scan ended in it
    std::uint64_t End = 0;                     // offset of the first line it did not read
    std::int64_t Lines = 0;                    // lines it read
    bool AtTypeLine = false;  // where it stopped: before the value of a code-0 pair
    DataOutput Out;
    std::vector<CounterHole> Holes;
    RunCounters Counters;  // line and group counters relative to its start
    std::int32_t EntityCount = 0;
    std::int32_t PaperSpaceCount = 0;
    std::int32_t SectionEntities = 0;
    std::int32_t FilteredOut = 0;
    std::int32_t SeparatorRecords = 0;
    std::int64_t RecordCount = 0;
    std::array<std::int32_t, kKindCount> KindCounts{};
    std::array<std::int64_t, kKindCount> KindRecords{};
    std::int64_t RecordsCounted = 0;
    BlockTally Tally;
};

class SegmentReader {
public:
    SegmentReader(ScanContext& ctx, const DispatchSetup& setup, const SegmentOptions& options,
                  std::unique_ptr<ByteSource> source, std::uint64_t firstChunk,
                  std::uint64_t inputSize)
        // No progress reports from the second thread: the observer belongs to this one.
        : ctx_(ctx), setup_{setup.CancelRequested, nullptr, setup.SequentialStart},
          options_(options), source_(std::move(source)), firstChunk_(firstChunk),
          inputSize_(inputSize), lineEnds_(ctx.In.LineEndMode()) {}
    ~SegmentReader() { Stop(); }
    SegmentReader(const SegmentReader&) = delete;
    SegmentReader& operator=(const SegmentReader&) = delete;

    // Starts the second thread; returns false when it cannot run.
    bool Start() {
        try {
            thread_ = std::thread([this] { Run(); });
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

    // This thread also fills in the counters and writes every record, so the chunks read
    // ahead are a quarter larger than its own (measured: both threads then finish together).
    std::uint64_t AheadSize() const noexcept {
        return options_.SegmentSize + options_.SegmentSize / 4;
    }
    std::uint64_t PairSize() const noexcept { return options_.SegmentSize + AheadSize(); }
    // Offset of chunk `chunk`'s first byte: even chunks are this thread's, odd ones ahead.
    std::uint64_t ChunkOffset(std::uint64_t chunk) const noexcept {
        return firstChunk_ + (chunk / 2) * PairSize() + (chunk % 2) * options_.SegmentSize;
    }
    bool ChunkExists(std::uint64_t chunk) const noexcept {
        return chunk / 2 <= (inputSize_ - firstChunk_) / PairSize() &&
               ChunkOffset(chunk) < inputSize_;
    }

    // Waits until the second thread has taken up chunk `chunk` (or has stopped: null).
    Segment* WaitStarted(std::uint64_t chunk) {
        Segment& s = slots_[SlotOf(chunk)];
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            return (s.Status != Segment::State::Free && s.Chunk == chunk) || finished_;
        });
        return s.Status != Segment::State::Free && s.Chunk == chunk ? &s : nullptr;
    }
    void WaitDone(Segment& s) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return s.Status == Segment::State::Done; });
    }
    void Release(Segment& s) {
        {
            std::lock_guard lock(mutex_);
            s.Status = Segment::State::Free;
        }
        changed_.notify_all();
    }
    void Stop() {
        if (!thread_.joinable())
            return;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            for (Segment& s : slots_)
                s.Abandon.store(true, std::memory_order_relaxed);
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    // Chunks 1, 3, 5... take the slots in turn.
    static std::size_t SlotOf(std::uint64_t chunk) noexcept { return (chunk / 2) % kSlots; }

    void Run() {
        try {
            DxfLineReader in(*source_, options_.BlockSize);
            in.SetLineEnds(lineEnds_);
            for (std::uint64_t chunk = 1; ChunkExists(chunk); chunk += 2) {
                Segment& s = slots_[SlotOf(chunk)];
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock,
                                  [&] { return s.Status == Segment::State::Free || stopping_; });
                    if (stopping_)
                        break;
                }
                const std::uint64_t from = ChunkOffset(chunk);
                const std::uint64_t start = FindSegmentStart(
                    *source_, from, std::min<std::uint64_t>(AheadSize(), inputSize_ - from),
                    lineEnds_ == DxfLineReader::LineEnds::CarriageReturn);
                {
                    std::lock_guard lock(mutex_);
                    if (stopping_)
                        break;  // asked while searching: the chunk is no longer wanted
                    s.Chunk = chunk;
                    s.Start = start;
                    s.Usable = false;
                    s.Abandon.store(false, std::memory_order_relaxed);
                    s.Status = Segment::State::Started;
                }
                changed_.notify_all();
                if (start != kNoSegmentStart)
                    ReadSegment(in, s, ChunkOffset(chunk + 1));
                {
                    std::lock_guard lock(mutex_);
                    s.Status = Segment::State::Done;
                }
                changed_.notify_all();
            }
        } catch (const std::bad_alloc&) {
            // Out of memory here only costs the speed: the rest is read on the other thread.
        } catch (...) {
            // Anything else is a bug of the reading ahead: loud where checks run, else the
            // rest is read on the other thread as above.
            QUARROW_CHECK(!"the second thread threw");
        }
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
            for (Segment& s : slots_)
                if (s.Status == Segment::State::Started)
                    s.Status = Segment::State::Done;  // Usable stays false
        }
        changed_.notify_all();
    }

    void ReadSegment(DxfLineReader& in, Segment& s, std::uint64_t stopAt) {
        s.Out.Clear();
        s.Holes.clear();
        if (!in.Restart(s.Start, 0))
            return;
        RunCounters counters;
        ScanContext ahead(in, s.Out, ctx_.Settings, counters, ctx_.DxfPath);
        ahead.Encoding = ctx_.Encoding;
        ahead.Holes = &s.Holes;
        ahead.AtTypeLine = true;  // the chunk starts at the value of a code-0 pair
        DispatchLimits limits;
        limits.StopAt = stopAt;
        limits.OutputCap = 2 * AheadSize() + (std::size_t(1) << 20);
        limits.Abandon = &s.Abandon;
        DispatchEnd end;
        try {
            end = RunDispatchLoop(ahead, setup_, limits);
        } catch (const std::bad_alloc&) {
            return;  // read again on the other thread, which reports it
        }
        s.Ended = end;
        s.Usable = end == DispatchEnd::Stopped || end == DispatchEnd::SectionEnded ||
                   (end == DispatchEnd::InputEnded && !in.Failed());
        s.End = in.Position();
        s.Lines = in.LineNumber();
        s.AtTypeLine = ahead.AtTypeLine;
        s.Counters = counters;
        s.EntityCount = ahead.EntityCount;
        s.PaperSpaceCount = ahead.PaperSpaceCount;
        s.SectionEntities = ahead.SectionEntities;
        s.FilteredOut = ahead.FilteredOut;
        s.SeparatorRecords = ahead.SeparatorRecords;
        s.RecordCount = ahead.RecordCount;
        s.KindCounts = ahead.KindCounts;
        s.KindRecords = ahead.KindRecords;
        s.RecordsCounted = ahead.RecordsCounted;
        s.Tally = std::move(ahead.Tally);
    }

    ScanContext& ctx_;
    const DispatchSetup setup_;
    const SegmentOptions options_;
    std::unique_ptr<ByteSource> source_;
    const std::uint64_t firstChunk_;
    const std::uint64_t inputSize_;
    // As the first line end of the text decided them (this thread's reader saw it).
    const DxfLineReader::LineEnds lineEnds_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::array<Segment, kSlots> slots_;
    bool stopping_ = false;  // this thread asks the second one to end
    bool finished_ = false;  // the second thread has ended
    std::thread thread_;
};

// Appends a chunk read ahead to the Data file, its open counter fields filled in from the
// counters as they stand now; returns false when writing failed (ctx.Error says why).
bool TakeSegment(ScanContext& ctx, const Segment& s) {
    RunCounters& counters = ctx.Counters;
    const char* const bytes = s.Out.Buffer().data();
    const std::size_t size = s.Out.Buffer().size();
    const std::size_t holes = s.Holes.size();
    DataOutput& out = ctx.Out;
    // Batches small enough for the slack the Data file's buffer keeps past its flush size.
    constexpr std::size_t kBatch = 32 * 1024;
    std::size_t at = 0;
    std::size_t hole = 0;
    for (bool done = false; !done;) {
        char* const first = out.Room(kBatch + kMaxIntLength);
        char* const limit = first + kBatch;
        char* p = first;
        while (p < limit) {
            const std::size_t pieceEnd = hole < holes ? s.Holes[hole].Offset : size;
            const std::size_t n = std::min<std::size_t>(pieceEnd - at, limit - p);
            std::memcpy(p, bytes + at, n);
            p += n;
            at += n;
            if (at < pieceEnd)
                break;  // the batch is full
            if (hole == holes) {
                done = true;
                break;
            }
            const CounterHole& h = s.Holes[hole++];
            // Holes lie in the chunk's output, in ascending order.
            QUARROW_CHECK(h.Offset <= size && (hole == holes || s.Holes[hole].Offset >= h.Offset));
            const std::int32_t base = h.Group ? counters.GroupCounter : counters.LineCounter;
            p = std::to_chars(p, p + kMaxIntLength, WrappingSum(base, h.Value)).ptr;
        }
        out.Commit(p);
        if (!out.FlushIfFull()) {
            ctx.Error = "Cannot write Data file \"" + ctx.DataPath + "\": " + out.ErrorText();
            return false;
        }
    }
    counters.LineCounter = WrappingSum(counters.LineCounter, s.Counters.LineCounter);
    counters.GroupCounter = WrappingSum(counters.GroupCounter, s.Counters.GroupCounter);
    counters.SequentialCounter = s.Counters.SequentialCounter;
    ctx.EntityCount = WrappingSum(ctx.EntityCount, s.EntityCount);
    ctx.PaperSpaceCount = WrappingSum(ctx.PaperSpaceCount, s.PaperSpaceCount);
    ctx.SectionEntities = WrappingSum(ctx.SectionEntities, s.SectionEntities);
    ctx.FilteredOut = WrappingSum(ctx.FilteredOut, s.FilteredOut);
    ctx.SeparatorRecords = WrappingSum(ctx.SeparatorRecords, s.SeparatorRecords);
    ctx.RecordCount += s.RecordCount;
    for (std::size_t kind = 0; kind < ctx.KindCounts.size(); ++kind) {
        ctx.KindCounts[kind] = WrappingSum(ctx.KindCounts[kind], s.KindCounts[kind]);
        ctx.KindRecords[kind] += s.KindRecords[kind];
    }
    ctx.RecordsCounted += s.RecordsCounted;
    for (const auto& [name, count] : s.Tally.Entries())
        ctx.Tally.Add(name, count);
    return true;
}

}  // namespace

std::uint64_t FindSegmentStart(ByteSource& source, std::uint64_t from, std::uint64_t span,
                               bool loneCr) {
    span = std::min<std::uint64_t>(span, kStartSearchSpan);
    std::string window(span + kStartSearchTail, '\0');
    std::size_t size = 0;
    if (source.Seek(from)) {
        while (size < window.size()) {
            const std::ptrdiff_t got = source.Read(window.data() + size, window.size() - size);
            if (got <= 0)
                break;
            size += static_cast<std::size_t>(got);
        }
    }
    if (loneCr)
        SwapLineEnds(window.data(), size);
    const std::string_view bytes(window.data(), size);
    // Each line here starts after a line feed, so the first (partial) line is skipped.
    std::size_t lf = bytes.find('\n');
    while (lf != std::string_view::npos) {
        const std::size_t codeStart = lf + 1;
        const std::size_t codeEnd = bytes.find('\n', codeStart);
        if (codeEnd == std::string_view::npos)
            break;
        const std::size_t typeStart = codeEnd + 1;
        if (typeStart >= span)
            break;
        if (IsCodeZeroLine(bytes.substr(codeStart, codeEnd - codeStart))) {
            const std::size_t typeEnd = bytes.find('\n', typeStart);
            if (typeEnd != std::string_view::npos &&
                IsChunkTypeLine(bytes.substr(typeStart, typeEnd - typeStart)))
                return from + typeStart;
        }
        lf = codeEnd;
    }
    return kNoSegmentStart;
}

DispatchEnd ScanBySegments(ScanContext& ctx, const DispatchSetup& setup,
                           const SegmentOptions& options, SegmentScanEnd& where) {
    DxfLineReader& in = ctx.In;
    ByteSource& source = in.Source();
    const std::uint64_t first = in.Position();
    const std::uint64_t size = source.Size();
    std::unique_ptr<SegmentReader> ahead;
    // Two chunks at least, or the second thread has nothing to do; the line ends decided, as
    // they are once the section was found.
    const DxfLineReader::LineEnds ends = in.LineEndMode();
    if (options.SegmentSize > 0 && size > first && (size - first) / 2 >= options.SegmentSize &&
        (ends == DxfLineReader::LineEnds::LineFeed ||
         ends == DxfLineReader::LineEnds::CarriageReturn)) {
        if (std::unique_ptr<ByteSource> second = source.OpenAnother()) {
            ahead = std::make_unique<SegmentReader>(ctx, setup, options, std::move(second), first,
                                                    size);
            if (!ahead->Start())
                ahead.reset();
        }
    }
    if (ahead) {
        for (std::uint64_t chunk = 1; ahead->ChunkExists(chunk); chunk += 2) {
            Segment* s = ahead->WaitStarted(chunk);
            if (s == nullptr)
                break;  // the second thread stopped: the rest is read here
            if (s->Start == kNoSegmentStart || in.Position() > s->Start) {
                s->Abandon.store(true, std::memory_order_relaxed);
                ahead->WaitDone(*s);
                ahead->Release(*s);
                continue;
            }
            DispatchLimits limits;
            limits.StopAt = s->Start;
            const DispatchEnd end = RunDispatchLoop(ctx, setup, limits);
            if (end != DispatchEnd::Stopped) {
                where = {in.Position(), in.LineNumber()};
                return end;  // the other thread is stopped on the way out
            }
            // In step with the pairs too: a chunk that began at a value line read as a code
            // line is no place to join.
            const bool arrived = in.Position() == s->Start && ctx.AtTypeLine;
            if (!arrived)
                s->Abandon.store(true, std::memory_order_relaxed);
            ahead->WaitDone(*s);
            if (!arrived || !s->Usable) {
                ahead->Release(*s);
                continue;  // its lines are read here, with the next stretch
            }
            if (!TakeSegment(ctx, *s)) {
                ahead->Release(*s);
                return DispatchEnd::Failed;
            }
            if (setup.Observer != nullptr)
                setup.Observer->Progress(s->End);
            if (s->Ended != DispatchEnd::Stopped) {
                const DispatchEnd ended = s->Ended;
                where = {s->End, in.LineNumber() + s->Lines};
                ahead->Release(*s);
                return ended;
            }
            const bool restarted = in.Restart(s->End, in.LineNumber() + s->Lines);
            ctx.AtTypeLine = s->AtTypeLine;
            ahead->Release(*s);
            if (!restarted) {
                // Cannot happen (the source seeked before), but never go on from a wrong line.
                QUARROW_CHECK(!"a source that seeked before cannot seek now");
                ctx.Error = "Cannot read DXF file \"" + ctx.DxfPath + "\" after line " +
                            std::to_string(in.LineNumber()) + ": the file cannot be positioned.";
                return DispatchEnd::Failed;
            }
        }
        ahead->Stop();
    }
    const DispatchEnd end = RunDispatchLoop(ctx, setup);
    where = {in.Position(), in.LineNumber()};
    return end;
}

}  // namespace quarrow
