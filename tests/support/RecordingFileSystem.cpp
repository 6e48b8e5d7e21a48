#include "tests/support/RecordingFileSystem.h"

namespace quenlo::test {
namespace {

class RecordingFile : public platform::File {
public:
    RecordingFile(std::unique_ptr<platform::File> real, FileEvents& events, int failWriteFrom,
                  std::error_code writeError = std::make_error_code(std::errc::io_error),
                  const WriteAtObserver* onWriteAt = nullptr)
        : real_(std::move(real)),
          events_(events),
          failWriteFrom_(failWriteFrom),
          writeError_(writeError),
          onWriteAt_(onWriteAt) {}

    bool write(const void* data, std::size_t size) override {
        events_.calls.push_back("write");
        if (failWriteFrom_ > 0 && ++writes_ >= failWriteFrom_) {
            return false;
        }
        if (events_.passes.empty()) {
            events_.passes.emplace_back();
        }
        events_.passes.back().append(static_cast<const char*>(data), size);
        return real_->write(data, size);
    }
    std::size_t writeAt(std::uint64_t offset, const void* data, std::size_t size,
                        std::error_code& error) override {
        events_.calls.push_back("writeAt");
        if (failWriteFrom_ > 0 && ++writes_ >= failWriteFrom_) {
            error = writeError_;
            return 0;
        }
        const std::size_t written = real_->writeAt(offset, data, size, error);
        if (onWriteAt_ != nullptr && *onWriteAt_) {
            (*onWriteAt_)(offset, static_cast<const unsigned char*>(data), written);
        }
        return written;
    }
    bool seek(std::uint64_t offset) override {
        events_.calls.push_back("seek");
        if (offset == 0) {
            events_.passes.emplace_back();
        }
        return real_->seek(offset);
    }
    std::optional<std::uint64_t> size() override { return real_->size(); }
    bool flush() override {
        events_.calls.push_back("flush");
        return real_->flush();
    }
    bool setSize(std::uint64_t size) override {
        events_.calls.push_back("setSize");
        return real_->setSize(size);
    }
    bool close() override {
        events_.calls.push_back("close");
        return real_->close();
    }

private:
    std::unique_ptr<platform::File> real_;
    FileEvents& events_;
    int failWriteFrom_;
    std::error_code writeError_;
    const WriteAtObserver* onWriteAt_;
    int writes_ = 0;
};

}  // namespace

std::unique_ptr<platform::File> RecordingFileSystem::openExisting(const std::filesystem::path& path,
                                                                  std::error_code& error) {
    if (failOpen) {
        error = std::make_error_code(std::errc::permission_denied);
        return nullptr;
    }
    auto real = real_.openExisting(path, error);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<RecordingFile>(std::move(real), events, failWriteFrom);
}

std::unique_ptr<platform::File> RecordingFileSystem::createAlways(const std::filesystem::path& path,
                                                                  std::error_code& error) {
    created.push_back(path);
    if (failCreateAlways) {
        error = std::make_error_code(std::errc::read_only_file_system);
        return nullptr;
    }
    auto real = real_.createAlways(path, error);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<RecordingFile>(std::move(real), events, failWriteFrom, writeError,
                                           &onWriteAt);
}

bool RecordingFileSystem::move(const std::filesystem::path& from, const std::filesystem::path& to) {
    moves.emplace_back(from, to);
    return !failMove && real_.move(from, to);
}

bool RecordingFileSystem::deleteFile(const std::filesystem::path& path) {
    deletes.push_back(path);
    return !failDelete && real_.deleteFile(path);
}

}  // namespace quenlo::test
