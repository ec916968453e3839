#include "FrameIndex.h"

#include "script/Errors.h"

#include <ffms.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace framequill {
namespace {

struct ErrorText {
    char buffer[1024] = {};
    FFMS_ErrorInfo info{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, sizeof buffer, buffer};
};

struct IndexDeleter {
    void operator()(FFMS_Index* index) const { FFMS_DestroyIndex(index); }
};

struct IndexerDeleter {
    void operator()(FFMS_Indexer* indexer) const { FFMS_CancelIndexing(indexer); }
};

struct ProgressState {
    const FrameIndex::Progress* progress;
    bool cancelled = false;
};

int FFMS_CC OnProgress(std::int64_t done, std::int64_t total, void* opaque) {
    auto* state = static_cast<ProgressState*>(opaque);
    if (*state->progress && !(*state->progress)(done, total))
        state->cancelled = true;
    return state->cancelled ? 1 : 0;
}

} // namespace

FrameIndex FrameIndex::Read(const std::string& path, const Progress& progress) {
    static const bool initialised = (FFMS_Init(0, 0), FFMS_SetLogLevel(FFMS_LOG_QUIET), true);
    (void)initialised;

    ErrorText error;
    std::unique_ptr<FFMS_Indexer, IndexerDeleter> indexer(FFMS_CreateIndexer(path.c_str(), &error.info));
    if (!indexer)
        throw Error(std::string("Cannot read the video: ") + error.buffer);
    const std::string_view format = FFMS_GetFormatNameI(indexer.get());
    const bool programOrTransportStream = format == "mpeg" || format == "mpegts" || format == "mpegvideo";
    ProgressState state{&progress};
    FFMS_SetProgressCallback(indexer.get(), OnProgress, &state);
    // DoIndexing frees the indexer whatever its outcome.
    std::unique_ptr<FFMS_Index, IndexDeleter> index(
        FFMS_DoIndexing2(indexer.release(), FFMS_IEH_STOP_TRACK, &error.info));
    if (state.cancelled)
        throw Error("Reading the video's frames was cancelled");
    if (!index)
        throw Error(std::string("Cannot read the video: ") + error.buffer);

    FrameIndex result;
    result.needsEarlyDemuxerSeek_ = programOrTransportStream;
    const int trackNumber = FFMS_GetFirstIndexedTrackOfType(index.get(), FFMS_TYPE_VIDEO, &error.info);
    if (trackNumber < 0)
        return result;
    FFMS_Track* track = FFMS_GetTrackFromIndex(index.get(), trackNumber);
    const FFMS_TrackTimeBase* base = FFMS_GetTimeBase(track);
    const int count = FFMS_GetNumFrames(track);
    result.seconds_.reserve(static_cast<std::size_t>(count));
    double lastKeyframe = 0;
    for (int n = 0; n < count; ++n) {
        const FFMS_FrameInfo* frame = FFMS_GetFrameInfo(track, n);
        const double seconds = static_cast<double>(frame->PTS) * static_cast<double>(base->Num) /
                               static_cast<double>(base->Den) / 1000.0;
        result.seconds_.push_back(seconds);
        if (frame->KeyFrame || n == count - 1) {
            if (n > 0)
                result.longestKeyframeDistance_ =
                    std::max(result.longestKeyframeDistance_, seconds - lastKeyframe);
            lastKeyframe = seconds;
        }
    }
    return result;
}

} // namespace framequill
