#include "correction/save_stream.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kFixedBlockSize = 400;

const std::string kLastScriptPointer = "$lastScriptPointer\t";
const std::string kScriptFilename = "$scriptFilename\t";
const std::string kStackPointer = "$stackPointer\t";
// The game starts a chapter's script at position 4.
const std::string kRestartLine = "$lastScriptPointer\t4\n";

// Gathers output and hands it to the work stream in large pieces; remembers a failed write.
class Output {
public:
    explicit Output(std::FILE* stream) : stream_(stream) { buffer_.reserve(kChunkSize); }

    void Put(const char* data, std::size_t size) {
        if (buffer_.size() + size > kChunkSize) Flush();
        if (size >= kChunkSize) {
            Write(data, size);
        } else {
            buffer_.insert(buffer_.end(), data, data + size);
        }
    }
    void Put(const std::string& text) { Put(text.data(), text.size()); }

    bool Flush() {
        Write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return !failed_;
    }
    bool failed() const { return failed_; }

private:
    void Write(const char* data, std::size_t size) {
        if (!failed_ && size > 0 && std::fwrite(data, 1, size, stream_) != size) failed_ = true;
    }

    std::FILE* stream_;
    std::vector<char> buffer_;
    bool failed_ = false;
};

// Walks the save's bytes as they arrive, in pieces of any size.
class SaveFilter {
public:
    explicit SaveFilter(Output& out) : out_(out) {}

    void Feed(const char* data, std::size_t size) {
        const char* const end = data + size;
        while (data < end) data = Step(data, end);
    }

    CorrectionResult Finish() {
        if (phase_ == Phase::Header || phase_ == Phase::FixedBlock) return CorrectionResult::Damaged;
        // A last line still being judged began with '$' and matched no known entry: dropped.
        return CorrectionResult::Corrected;
    }

private:
    enum class Phase { Header, FixedBlock, LineStart, NamedEntry, KeepLine, DropLine };

    // Handles what it can of [data, end) in the current phase; returns where it stopped.
    const char* Step(const char* data, const char* end) {
        const std::size_t size = static_cast<std::size_t>(end - data);
        switch (phase_) {
            case Phase::Header: {
                const char* zero = static_cast<const char*>(std::memchr(data, '\0', size));
                const char* stop = zero != nullptr ? zero + 1 : end;
                out_.Put(data, static_cast<std::size_t>(stop - data));
                if (zero != nullptr) phase_ = Phase::FixedBlock;
                return stop;
            }
            case Phase::FixedBlock: {
                const std::size_t taken = std::min(size, blockLeft_);
                out_.Put(data, taken);
                blockLeft_ -= taken;
                if (blockLeft_ == 0) phase_ = Phase::LineStart;
                return data + taken;
            }
            case Phase::LineStart:
                if (*data == '$') {
                    phase_ = Phase::NamedEntry;
                    entryStart_.clear();
                } else {
                    phase_ = *data == '_' ? Phase::DropLine : Phase::KeepLine;
                }
                return data;
            case Phase::NamedEntry:
                JudgeNamedEntry(*data);
                return data + 1;
            case Phase::KeepLine:
            case Phase::DropLine: {
                const char* newline = static_cast<const char*>(std::memchr(data, '\n', size));
                const char* stop = newline != nullptr ? newline + 1 : end;
                if (phase_ == Phase::KeepLine) out_.Put(data, static_cast<std::size_t>(stop - data));
                if (newline != nullptr) phase_ = Phase::LineStart;
                return stop;
            }
        }
        return end;
    }

    // A line beginning with '$' is gathered byte by byte until it is known which entry it is;
    // at most the length of the longest known prefix is ever held.
    void JudgeNamedEntry(char byte) {
        entryStart_ += byte;
        if (entryStart_ == kLastScriptPointer) {
            out_.Put(kRestartLine);
            phase_ = Phase::DropLine;  // the old position and its line end go
        } else if (entryStart_ == kScriptFilename || entryStart_ == kStackPointer) {
            out_.Put(entryStart_);
            phase_ = Phase::KeepLine;
        } else if (!CouldBecomeKnown()) {
            phase_ = byte == '\n' ? Phase::LineStart : Phase::DropLine;
        }
    }

    bool CouldBecomeKnown() const {
        for (const std::string* known : {&kLastScriptPointer, &kScriptFilename, &kStackPointer}) {
            if (known->compare(0, entryStart_.size(), entryStart_) == 0) return true;
        }
        return false;
    }

    Output& out_;
    Phase phase_ = Phase::Header;
    std::size_t blockLeft_ = kFixedBlockSize;
    std::string entryStart_;
};

}  // namespace

CorrectionResult CorrectSaveStream(std::FILE* save, std::FILE* work) {
    Output out(work);
    SaveFilter filter(out);
    std::vector<char> chunk(kChunkSize);
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), save)) > 0) {
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
