#pragma once

namespace session {

// Fixed values of the session protocol, shared by both programs.
namespace protocol {

// A frame is a 4-byte little-endian length that counts itself, then the payload.
inline constexpr int kHeaderSize = 4;
inline constexpr int kMaxFrameSize = 10240;
inline constexpr int kMaxPayloadSize = kMaxFrameSize - kHeaderSize;

// Values of the member "CommandType".
inline constexpr int kUpdateCheck = 2;
inline constexpr int kLoginSession = 3;
inline constexpr int kPushMessages = 4;

// Values of the member "Operation" of LoginSession commands.
inline constexpr int kNormalLogin = 1;
inline constexpr int kForcedLogin = 2;
inline constexpr int kLoggedInElsewhere = 3;
inline constexpr int kReconnectLogin = 4;

// The updater names itself by this text whatever its file is called here.
inline constexpr const char* kStartUpFileName = "kavrenup.exe";

// Time limits of the connections, in milliseconds.
inline constexpr int kLoginConnectWaitMs = 4000; // the login step's wait for ConnectWorker
inline constexpr int kLoginAnswerWaitMs = 15000; // an accepted connection whose answer never comes
inline constexpr int kReconnectIntervalMs = 1000; // between reconnect attempts after the first
inline constexpr int kReconnectConnectMs = 4000; // bound of one reconnect attempt's connect
inline constexpr int kUpdateConnectMs = 3000; // the updater's connect
inline constexpr int kUpdateIoMs = 6000; // the updater's send and receive

} // namespace protocol

} // namespace session
