#pragma once
#include <cstdint>

#include "platform/PortHandle.h"

class ClientSocket;

// One request and its reply. The CRC is appended to the request (which has
// room for it); the reply counts when exactly expectedLength bytes with a
// good CRC, the request's slave address and its function code arrive within
// three attempts, and for a write the request's register and value as well.
// An exception reply fails by its length.
//
// Serial: each attempt sleeps 300 ms, empties the receive queue, writes the
// request and makes one read bounded by the port's time-outs, which are set
// for the transaction (see TransactionTimeouts). A polling thread being
// stopped gives up after the pause it is in (see StopFlag).
bool SerialTransact(PortHandle port, std::uint8_t* request, std::uint8_t requestLength,
                    std::uint8_t* reply, std::uint8_t expectedLength);

// TCP: without a connection it fails at once. The request is sent once with
// 300 ms send and receive time-outs; each attempt sleeps 300 ms and receives.
bool TcpTransact(ClientSocket& socket, std::uint8_t* request, std::uint8_t requestLength,
                 std::uint8_t* reply, std::uint8_t expectedLength);

inline constexpr int TransactAttempts = 3;
inline constexpr unsigned TransactPauseMs = 300;
inline constexpr int TcpTimeoutMs = 300;
