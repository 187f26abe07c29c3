#include "viewer/document/DocumentView.h"

#include <QScopeGuard>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "documents/DocumentMatch.h"
#include "documents/DocumentReader.h"
#include "matching/ContentMatch.h"
#include "viewer/paging/PageReader.h"

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(5);

}  // namespace

DocumentView::DocumentView(std::vector<std::string> blocks) : blocks_(std::move(blocks)) {
    for (const std::string& block : blocks_) {
        if (!starts_.empty()) {
            memoText_.append(QLatin1Char('\n'));
        }
        starts_.push_back(memoText_.size());
        memoText_.append(QString::fromStdString(block));
    }
}

qsizetype DocumentView::memoPosition(std::size_t block, std::size_t byte) const {
    return starts_[block] + QString::fromUtf8(blocks_[block].data(), static_cast<qsizetype>(byte)).size();
}

std::optional<MemoMatch> DocumentView::find(const QString& typed, qsizetype from,
                                            const std::function<bool()>& cancelled) const {
    const DocumentQuery query(typed);
    if (!query.findable() || blocks_.empty()) {
        return std::nullopt;
    }
    // The block `from` falls in, and the byte of that block it stands at.
    std::size_t block =
        static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), from) - starts_.begin());
    block = block == 0 ? 0 : block - 1;
    const QString shown = QString::fromStdString(blocks_[block]);
    std::size_t byte =
        static_cast<std::size_t>(shown.left(std::max<qsizetype>(0, from - starts_[block])).toUtf8().size());
    for (; block < blocks_.size() && !(cancelled && cancelled()); ++block, byte = 0) {
        if (const std::optional<BlockMatch> match = query.findIn(blocks_[block], byte)) {
            return MemoMatch{memoPosition(block, match->begin), memoPosition(block, match->end)};
        }
    }
    return std::nullopt;
}

qsizetype memoSliceEnd(const QString& text, qsizetype from) {
    const qsizetype limit = std::min(text.size(), from + kMemoSliceChars);
    if (limit == text.size()) {
        return limit;
    }
    const qsizetype lineEnd = text.lastIndexOf(QLatin1Char('\n'), limit - 1);
    if (lineEnd >= from) {
        return lineEnd + 1;
    }
    return text.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
}

bool mayBeDocumentFile(const std::string& path) {
    if (QueryFileSize(path) == 0) {
        return false;
    }
    unsigned char head[kDocumentHeadBytes];
    const std::size_t count = readViewedBytes(path, 0, sizeof head, head);
    return DocumentReader::current().mayBeDocument(reinterpret_cast<const char*>(head), count);
}

namespace {

// Runs `work` on a thread of its own while `keepGoing` is called every few milliseconds (it lets the window's
// events through); once that answers false, `cancel` is set for `work` to see. Whatever ends the wait, a
// failure of keepGoing included, `work` has ended before its state goes; a failure of `work` is thrown here.
// True when the work was cancelled.
bool workWhileWaiting(const std::function<void(const std::atomic<bool>& cancel)>& work,
                      const std::function<bool()>& keepGoing) {
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work(cancel);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    auto joined = qScopeGuard([&] {
        cancel = true;
        worker.join();
    });
    while (!finished) {
        if (!cancel && !keepGoing()) {
            cancel = true;
        }
        std::this_thread::sleep_for(kWaitSlice);
    }
    joined.dismiss();
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return cancel;
}

}  // namespace

std::optional<DocumentView> readDocumentWhileWaiting(const std::string& path, PdfTextSource* pdf,
                                                     const std::function<bool()>& keepGoing) {
    std::optional<DocumentView> view;
    const bool cancelled = workWhileWaiting(
        [&](const std::atomic<bool>& cancel) {
            DocumentText text = DocumentReader::current().read(
                path, [&cancel] { return cancel.load(); }, pdf);
            // A long text takes a while to join for the memo: not on the window's time.
            if (text.status == DocumentText::Status::Read) {
                view.emplace(std::move(text.blocks));
            }
        },
        keepGoing);
    return cancelled ? std::nullopt : std::move(view);
}

std::optional<MemoMatch> findWhileWaiting(const DocumentView& view, const QString& typed, qsizetype from,
                                          const std::function<bool()>& keepGoing) {
    std::optional<MemoMatch> match;
    const bool cancelled = workWhileWaiting(
        [&](const std::atomic<bool>& cancel) {
            match = view.find(typed, from, [&cancel] { return cancel.load(); });
        },
        keepGoing);
    return cancelled ? std::nullopt : match;
}
