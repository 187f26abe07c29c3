#include "documents/package/ZipArchive.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>

#include "documents/ByteSource.h"
#include "documents/DocumentFailure.h"

namespace {

// Small read blocks keep the count of read bytes close to what the inflater used, for the ratio.
constexpr std::size_t kBlockSize = 16 * 1024;
constexpr std::size_t kPieceSize = 64 * 1024;

}  // namespace

struct ZipArchive::Callbacks {
    static la_ssize_t readBlock(archive*, void* client, const void** buffer) {
        auto* self = static_cast<ZipArchive*>(client);
        try {
            const std::size_t got =
                self->bytes_.readAt(self->block_.data(), self->block_.size(), self->position_);
            self->position_ += got;
            self->bytesRead_ += got;
            *buffer = self->block_.data();
            return static_cast<la_ssize_t>(got);
        } catch (...) {
            self->readFailure_ = std::current_exception();
            return ARCHIVE_FATAL;
        }
    }

    static la_int64_t seek(archive*, void* client, la_int64_t offset, int whence) {
        auto* self = static_cast<ZipArchive*>(client);
        const la_int64_t size = static_cast<la_int64_t>(self->bytes_.size());
        const la_int64_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? static_cast<la_int64_t>(self->position_)
                                                     : size;
        if (base + offset < 0) {
            return ARCHIVE_FATAL;
        }
        self->position_ = static_cast<std::uint64_t>(base + offset);
        return base + offset;
    }
};

ZipArchive::ZipArchive(const ByteSource& bytes, const InflateLimits& limits)
    : bytes_(bytes), limits_(limits), block_(kBlockSize), inflated_(kPieceSize) {
    archive_.reset(archive_read_new());
    if (!archive_) {
        throw std::bad_alloc();
    }
    archive_read_support_format_zip_seekable(archive_.get());
    archive_read_set_callback_data(archive_.get(), this);
    archive_read_set_read_callback(archive_.get(), &Callbacks::readBlock);
    archive_read_set_seek_callback(archive_.get(), &Callbacks::seek);
    if (archive_read_open1(archive_.get()) != ARCHIVE_OK) {
        fail();
    }
}

ZipArchive::~ZipArchive() = default;

void ZipArchive::ArchiveFree::operator()(archive* opened) const {
    archive_read_free(opened);
}

void ZipArchive::fail() {
    if (readFailure_) {
        std::rethrow_exception(readFailure_);
    }
    const char* reason = archive_error_string(archive_.get());
    throw DocumentUnreadable(std::string("архив повреждён") +
                             (reason != nullptr ? std::string(": ") + reason : ""));
}

bool ZipArchive::nextMember() {
    for (;;) {
        const int status = archive_read_next_header(archive_.get(), &entry_);
        if (status == ARCHIVE_EOF) {
            return false;
        }
        if (status < ARCHIVE_WARN) {
            fail();
        }
        if (archive_entry_filetype(entry_) != AE_IFREG) {
            continue;
        }
        const char* name = archive_entry_pathname_utf8(entry_);
        if (name == nullptr) {
            name = archive_entry_pathname(entry_);
        }
        if (name == nullptr) {
            continue;
        }
        memberName_ = name;
        return true;
    }
}

void ZipArchive::readMember(const std::function<void(const char*, std::size_t)>& piece,
                            const DocumentCancel& cancelled) {
    if (archive_entry_is_encrypted(entry_)) {
        throw DocumentUnreadable("документ защищён паролем");
    }
    std::uint64_t memberInflated = 0;
    for (;;) {
        stopIfCancelled(cancelled);
        const la_ssize_t got = archive_read_data(archive_.get(), inflated_.data(), inflated_.size());
        if (got == 0) {
            return;
        }
        if (got < 0) {
            fail();
        }
        memberInflated += static_cast<std::uint64_t>(got);
        bytesInflated_ += static_cast<std::uint64_t>(got);
        if (memberInflated > limits_.perMember || bytesInflated_ > limits_.perDocument) {
            throw DocumentUnreadable("распакованный текст больше предела");
        }
        if (bytesInflated_ > limits_.ratioFrom && bytesInflated_ > limits_.ratio * bytesRead_) {
            throw DocumentUnreadable("сжатие больше 100:1");
        }
        piece(inflated_.data(), static_cast<std::size_t>(got));
    }
}
