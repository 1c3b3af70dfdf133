#pragma once
#include <string>

// A fresh empty directory that is the process's working directory while the
// object lives; the previous working directory comes back and the directory
// is removed with everything in it at the end. The station takes its base
// directory from the working directory, so every window test runs in one.
class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::string previous_;
};
