#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace framequill {

// The presentation time of every picture of a file's first video stream, in presentation order: picture n
// is the n-th picture the user sees, whatever its timestamp. Read by demuxing and parsing the file once,
// without decoding.
class FrameIndex {
public:
    // Told how far the reading is; returning false cancels it.
    using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

    // Throws Error with a message for the user when the file cannot be read or the reading was
    // cancelled. A file without a video stream gives an empty index.
    static FrameIndex Read(const std::string& path, const Progress& progress);

    std::size_t Count() const { return seconds_.size(); }
    bool Empty() const { return seconds_.empty(); }
    // Picture n's presentation time, in the file's own time line.
    double Seconds(std::size_t n) const { return seconds_[n]; }
    // The longest stretch between two keyframes, which a demuxer seek may have to go back over.
    double LongestKeyframeDistance() const { return longestKeyframeDistance_; }
    // Program and transport streams: their demuxer lands after a seek target.
    bool NeedsEarlyDemuxerSeek() const { return needsEarlyDemuxerSeek_; }

private:
    std::vector<double> seconds_;
    double longestKeyframeDistance_ = 0;
    bool needsEarlyDemuxerSeek_ = false;
};

} // namespace framequill
