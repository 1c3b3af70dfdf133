#pragma once
#include <string>

// A raw pseudo-terminal pair: the code under test opens slavePath (or a link
// to it), the test talks through the master descriptor.
class PtyPair {
public:
    PtyPair();
    // Reached through link as well (e.g. comLink(1)); throws when the link
    // cannot be made.
    explicit PtyPair(const std::string& link);
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    // Bytes that arrive at the master within timeoutMs, up to max.
    std::string readMaster(std::size_t max, int timeoutMs) const;
    void writeMaster(const std::string& bytes) const;

private:
    int master_ = -1;
    int slave_ = -1;  // held so that the master never sees a hang-up
    std::string slavePath_;
};
