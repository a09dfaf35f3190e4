#include "correction/save_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
// Readable bytes after each piece, so that the fast path may read whole 64-byte blocks and a
// line's first 32 bytes even where the piece or the line is shorter.
constexpr std::size_t kPadding = 64;
constexpr std::size_t kFixedBlockSize = 400;

const std::string kLastScriptPointer = "$lastScriptPointer\t";
const std::string kScriptFilename = "$scriptFilename\t";
const std::string kStackPointer = "$stackPointer\t";
// The game starts a chapter's script at position 4.
constexpr char kRestartLine[] = "$lastScriptPointer\t4\n";
constexpr std::size_t kRestartLineSize = sizeof kRestartLine - 1;

std::uint64_t Load(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// A known entry prefix as three words and the masks that keep its bytes, for comparing the
// first 24 bytes of a line without a branch per byte.
struct KnownPrefix {
    explicit KnownPrefix(const std::string& prefix) {
        char bytes[24] = {};
        char keep[24] = {};
        std::memcpy(bytes, prefix.data(), prefix.size());
        std::memset(keep, 0xFF, prefix.size());
        for (int i = 0; i < 3; ++i) {
            word[i] = Load(bytes + 8 * i);
            mask[i] = Load(keep + 8 * i);
        }
    }
    bool BegunBy(std::uint64_t w0, std::uint64_t w1, std::uint64_t w2) const {
        return ((w0 & mask[0]) == word[0]) & ((w1 & mask[1]) == word[1]) &
               ((w2 & mask[2]) == word[2]);
    }
    std::uint64_t word[3];
    std::uint64_t mask[3];
};

const KnownPrefix kFastLastScriptPointer(kLastScriptPointer);
const KnownPrefix kFastScriptFilename(kScriptFilename);
const KnownPrefix kFastStackPointer(kStackPointer);

// The fast path finds a line feed's place in a word from its lowest set bit, which is the
// first byte only where the lowest-addressed byte is the least significant.
const bool kLittleEndian = [] {
    const std::uint16_t one = 1;
    char first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}();

// The high bit of each byte of word that is a line feed.
std::uint64_t LineFeedBits(std::uint64_t word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    const std::uint64_t x = word ^ 0x0A0A0A0A0A0A0A0Au;
    return ~(((x & kLow7) + kLow7) | x) & ~kLow7;
}

// Bit i set where bytes[i], of 64, is a line feed: each word's per-byte flags gathered into
// one byte by a multiplication.
std::uint64_t LineFeedMask(const char* bytes) {
    std::uint64_t mask = 0;
    for (int w = 0; w < 8; ++w) {
        const std::uint64_t flags = LineFeedBits(Load(bytes + 8 * w)) >> 7;
        mask |= ((flags * 0x0102040810204080u) >> 56) << (8 * w);
    }
    return mask;
}

// Gathers output and hands it to the work stream in large pieces; remembers a failed write.
class Output {
public:
    // Room for several pieces of output, so that the work file is written in few, large
    // writes; a piece of complete lines needs twice its size (see FilterCompleteLines).
    explicit Output(std::FILE* stream) : stream_(stream), buffer_(8 * kChunkSize + kPadding) {}

    void Put(const char* data, std::size_t size) {
        if (used_ + size > buffer_.size()) {
            Flush();
            if (size >= buffer_.size()) {
                Write(data, size);
                return;
            }
        }
        std::memcpy(buffer_.data() + used_, data, size);
        used_ += size;
    }
    void Put(const std::string& text) { Put(text.data(), text.size()); }

    // Room for size bytes (at most the buffer's size) to be written in place; Commit then
    // counts what was written.
    char* Reserve(std::size_t size) {
        if (used_ + size > buffer_.size()) Flush();
        return buffer_.data() + used_;
    }
    void Commit(std::size_t size) { used_ += size; }

    bool Flush() {
        Write(buffer_.data(), used_);
        used_ = 0;
        return !failed_;
    }
    bool failed() const { return failed_; }

private:
    void Write(const char* data, std::size_t size) {
        if (!failed_ && size > 0 && std::fwrite(data, 1, size, stream_) != size) failed_ = true;
    }

    std::FILE* stream_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

// Walks the save's bytes as they arrive, in pieces of any size. Runs of kept lines are handed
// on as they stand in the piece, so a line costs no more than finding its end.
class SaveFilter {
public:
    explicit SaveFilter(Output& out) : out_(out) {}

    void Feed(const char* data, std::size_t size) {
        const char* const end = data + size;
        if (phase_ == Phase::Header) data = FeedHeader(data, end);
        if (phase_ == Phase::FixedBlock) data = FeedFixedBlock(data, end);
        if (phase_ == Phase::StateText) FeedStateText(data, end);
    }

    CorrectionResult Finish() const {
        if (phase_ != Phase::StateText) return CorrectionResult::Damaged;
        // A last line still being judged began with '$' and matched no known entry: dropped.
        return CorrectionResult::Corrected;
    }

private:
    enum class Phase { Header, FixedBlock, StateText };
    enum class Line { Start, NamedEntry, Keep, Drop };
    enum class Verdict { Replace, Keep, Drop, NeedMore };

    const char* FeedHeader(const char* data, const char* end) {
        const void* zero = std::memchr(data, '\0', static_cast<std::size_t>(end - data));
        const char* stop = zero != nullptr ? static_cast<const char*>(zero) + 1 : end;
        out_.Put(data, static_cast<std::size_t>(stop - data));
        if (zero != nullptr) phase_ = Phase::FixedBlock;
        return stop;
    }

    const char* FeedFixedBlock(const char* data, const char* end) {
        const std::size_t taken = std::min(static_cast<std::size_t>(end - data), blockLeft_);
        out_.Put(data, taken);
        blockLeft_ -= taken;
        if (blockLeft_ == 0) phase_ = Phase::StateText;
        return data + taken;
    }

    // [keepFrom, p) are kept bytes not yet handed on. The loop stands at a line's start, so
    // that a line costs one look at its first byte and one search for its end.
    void FeedStateText(const char* p, const char* const end) {
        const char* keepFrom = p;
        while (line_ == Line::NamedEntry && p < end) {
            JudgeNamedEntry(*p++);
            keepFrom = p;
        }
        if (line_ == Line::Keep || line_ == Line::Drop) {
            const char* next = LineEnd(p, end);
            if (line_ == Line::Drop) keepFrom = next;
            if (next == end && (next == p || next[-1] != '\n')) {
                out_.Put(keepFrom, static_cast<std::size_t>(end - keepFrom));
                return;  // the line goes on in the next piece
            }
            p = next;
            line_ = Line::Start;
        }
        if (kLittleEndian) {
            const char* const lastLineEnd = LastLineEnd(p, end);
            if (lastLineEnd != p) {
                out_.Put(keepFrom, static_cast<std::size_t>(p - keepFrom));
                FilterCompleteLines(p, lastLineEnd);
                p = keepFrom = lastLineEnd;
            }
        }
        // The piece's last line, unfinished, or every line where the fast path cannot go.
        while (p < end) {
            if (*p == '$' || *p == '_') {
                const Verdict verdict = Judge(p, static_cast<std::size_t>(end - p));
                if (verdict != Verdict::Keep) {
                    out_.Put(keepFrom, static_cast<std::size_t>(p - keepFrom));
                    if (verdict == Verdict::NeedMore) {
                        // The entry's name runs past this piece: gather it byte by byte.
                        entryStart_.clear();
                        line_ = Line::NamedEntry;
                        while (p < end) JudgeNamedEntry(*p++);
                        return;
                    }
                    if (verdict == Verdict::Replace) out_.Put(kRestartLine, kRestartLineSize);
                    p = LineEnd(p, end);
                    keepFrom = p;
                    if (p == end && p[-1] != '\n') {
                        line_ = Line::Drop;
                        return;
                    }
                    continue;
                }
            }
            p = LineEnd(p, end);
            if (p == end && p[-1] != '\n') line_ = Line::Keep;
        }
        out_.Put(keepFrom, static_cast<std::size_t>(end - keepFrom));
    }

    static const char* LastLineEnd(const char* p, const char* end) {
        for (const char* q = end; q != p; --q) {
            if (q[-1] == '\n') return q;
        }
        return p;
    }

    // Judges and copies every line of [lineStart, stop), which ends in a line feed, straight
    // into the output, finding the line feeds 64 bytes at a time and comparing the known
    // names a word at a time. Everything it needs is kept in locals, so the compiler need not
    // reload it after each write. Reads up to kPadding bytes past stop.
    void FilterCompleteLines(const char* lineStart, const char* const stop) {
        // A kept line is copied as is and a replaced one is at most a byte longer, plus the
        // 32 bytes every copy may write past its line.
        char* const begin = out_.Reserve(2 * static_cast<std::size_t>(stop - lineStart) + kPadding);
        char* out = begin;
        const KnownPrefix restartName = kFastLastScriptPointer;
        const KnownPrefix scriptName = kFastScriptFilename;
        const KnownPrefix stackName = kFastStackPointer;
        const char* block = lineStart;
        std::uint64_t lineFeeds = LineFeedMask(block);
        while (lineStart < stop) {
            while (lineFeeds == 0) {
                block += 64;
                lineFeeds = LineFeedMask(block);
            }
            const char* const lineEnd = block + __builtin_ctzll(lineFeeds) + 1;
            lineFeeds &= lineFeeds - 1;
            const std::size_t size = static_cast<std::size_t>(lineEnd - lineStart);
            const std::uint64_t w0 = Load(lineStart), w1 = Load(lineStart + 8),
                                w2 = Load(lineStart + 16);
            const bool named = (*lineStart == '$') | (*lineStart == '_');
            // The three names differ in their first eight bytes: each is compared on its own,
            // with nothing waiting on another comparison.
            const bool restart = restartName.BegunBy(w0, w1, w2);
            const bool script = scriptName.BegunBy(w0, w1, w2);
            const bool stack = stackName.BegunBy(w0, w1, w2);
            const bool knownKept = script | stack;
            std::memcpy(out, lineStart, 32);  // most lines whole, without a branch on their size
            if (size > 32) std::memcpy(out + 32, lineStart + 32, size - 32);
            std::size_t written = (!named | knownKept) ? size : 0;
            if (restart) {
                std::memcpy(out, kRestartLine, kRestartLineSize);
                written = kRestartLineSize;
            }
            out += written;
            lineStart = lineEnd;
        }
        out_.Commit(static_cast<std::size_t>(out - begin));
    }

    // Just past the line feed that ends the line at p, or end if the piece ends first. Only
    // lines that cross a piece's end, or every line where the fast path cannot go, come here.
    static const char* LineEnd(const char* p, const char* end) {
        const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        return newline != nullptr ? static_cast<const char*>(newline) + 1 : end;
    }

    // Judges a line beginning with '$' or '_' by the bytes of it at hand: NeedMore while they
    // could still begin a known name.
    static Verdict Judge(const char* line, std::size_t available) {
        if (*line == '_') return Verdict::Drop;
        for (const std::string* known : {&kLastScriptPointer, &kScriptFilename, &kStackPointer}) {
            const std::size_t compared = std::min(available, known->size());
            if (std::memcmp(line, known->data(), compared) != 0) continue;
            if (compared < known->size()) return Verdict::NeedMore;
            return known == &kLastScriptPointer ? Verdict::Replace : Verdict::Keep;
        }
        return Verdict::Drop;
    }

    // The slow path for an entry whose first bytes arrive in more than one piece; at most the
    // length of the longest known prefix is ever held.
    void JudgeNamedEntry(char byte) {
        entryStart_ += byte;
        const Verdict verdict = Judge(entryStart_.data(), entryStart_.size());
        if (verdict == Verdict::NeedMore) return;
        if (verdict == Verdict::Keep) {
            out_.Put(entryStart_);
            line_ = Line::Keep;
        } else if (verdict == Verdict::Replace) {
            out_.Put(kRestartLine, kRestartLineSize);
            line_ = Line::Drop;  // the old position and its line end go
        } else {
            line_ = byte == '\n' ? Line::Start : Line::Drop;
        }
    }

    Output& out_;
    Phase phase_ = Phase::Header;
    Line line_ = Line::Start;
    std::size_t blockLeft_ = kFixedBlockSize;
    std::string entryStart_;
};

}  // namespace

CorrectionResult CorrectSaveStream(std::FILE* save, std::FILE* work) {
    Output out(work);
    SaveFilter filter(out);
    std::vector<char> chunk(kChunkSize + kPadding);
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, kChunkSize, save)) > 0) {
        filter.Feed(chunk.data(), got);
        if (out.failed()) return CorrectionResult::WriteFailed;
    }
    // Only a stream that says it reached its end has been read whole; some C runtimes end a
    // failed read without setting the error flag.
    if (std::ferror(save) || !std::feof(save)) return CorrectionResult::ReadFailed;
    const CorrectionResult result = filter.Finish();
    if (!out.Flush()) return CorrectionResult::WriteFailed;
    return result;
}
