#pragma once

#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpFileFind.h"
#include "core/remote/ftp/FtpSession.h"

#include "fixtures/FtpServers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tidewell::ftp::support {

// The product's block size.
inline constexpr std::size_t kBlock = 16384;

// Bytes that differ from position to position, so a shifted or lost block shows.
std::string MakeContent(std::size_t size, unsigned seed = 1);

std::unique_ptr<FtpConnection> Connect(const test::FtpServer& server, bool passive,
                                       std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                       const TlsOptions& tls = {});

// Upload and download the way the product does: blocks of 16,384 bytes.
void Upload(FtpConnection& connection, const std::string& name, const std::string& content);
std::string Download(FtpConnection& connection, const std::string& name);

struct Listed {
    std::string name;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool directory = false;
    bool dots = false;
};
// Every entry of the current directory, walked as the product walks it.
std::vector<Listed> List(FtpConnection& connection);
// The entries' names, sorted; "." and ".." left out.
std::vector<std::string> Names(const std::vector<Listed>& entries);

// Expects `call` to throw FtpException with `code`; returns the server's reply it carries.
template <typename Call> std::string ExpectFtpError(std::uint32_t code, Call&& call) {
    try {
        call();
        ADD_FAILURE() << "no FtpException; expected " << code;
    } catch (const FtpException& failure) {
        EXPECT_EQ(failure.ErrorCode(), code) << failure.what();
        return failure.ServerReply();
    }
    return {};
}

} // namespace tidewell::ftp::support
