#pragma once

#include "core/remote/RemoteFileSystem.h"

#include <cstdint>

namespace tidewell::sftp::error {

// The numbers the FTP layer shows for the same failures, so that messages
// stay one table; the host key has its own.
inline constexpr std::uint32_t kTimeout = 12002;
inline constexpr std::uint32_t kErrorReply = RemoteError::kRefused;
inline constexpr std::uint32_t kHostNotResolved = 12007;
inline constexpr std::uint32_t kLoginRefused = 12014;
inline constexpr std::uint32_t kCannotConnect = 12029;
inline constexpr std::uint32_t kConnectionLost = 12030;
inline constexpr std::uint32_t kHostKeyRejected = 12160;

} // namespace tidewell::sftp::error
