#pragma once
#include <chrono>
#include <cstdio>
#include <string>

#include "Serving.h"

// A GSM module on a pseudo-terminal. It answers nothing; every text written
// to it, ended by a pause on the line, is printed as one line
//   message YYYY-MM-DD HH:MM:SS.mmm TEXT
// with the local arrival time of its first byte and the text converted from
// GBK, its control characters written \r, \n, \t, \\ or \xHH. The bytes as
// they came can go to a file as well.
class GsmModule {
public:
    // rawPath: the file for the bytes received, made afresh; empty for none.
    explicit GsmModule(std::string rawPath) : rawPath_(std::move(rawPath)) {}
    ~GsmModule();
    GsmModule(const GsmModule&) = delete;
    GsmModule& operator=(const GsmModule&) = delete;

    // Prints the ready line and serves until a stop signal; false with a
    // message when the line or the file cannot be set up.
    bool servePty(const std::string& link);

private:
    void run();
    void readLine();
    void finishMessage();
    int pollTimeoutMs() const;

    std::string rawPath_;
    std::FILE* raw_ = nullptr;
    LinkedPty pty_;
    std::string link_;
    std::string message_;
    std::chrono::system_clock::time_point firstByte_;
    std::chrono::steady_clock::time_point lastByte_;
};
