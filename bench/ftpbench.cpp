// Drives the FTP engine the way the product does, for bench/engine-bench.sh:
// downloads take what has arrived, up to 256 KiB, into one buffer; uploads read
// 128 KiB at a time straight into the send buffer; to and from a local file.
//
//   ftpbench get  HOST PORT USER PASS REMOTE LOCAL [passive] [tls]
//   ftpbench put  HOST PORT USER PASS LOCAL REMOTE [passive] [tls]
//   ftpbench list HOST PORT USER PASS DIRECTORY   [passive] [tls]
// `tls` requires explicit TLS and accepts any certificate (as curl -k does).
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpFileFind.h"
#include "core/remote/ftp/FtpSession.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

using namespace tidewell::ftp;

namespace {
constexpr std::size_t kReadBytes = 256 * 1024;
constexpr std::size_t kWriteBytes = tidewell::RemoteStream::kMostWriteSpace;

int Usage() {
    std::fprintf(stderr, "usage: ftpbench get|put|list HOST PORT USER PASS ARG [ARG] [passive] [tls]\n");
    return 2;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const auto n = ::write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int Get(FtpConnection& connection, const std::string& remote, const std::string& local) {
    const int out = ::open(local.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        return 1;
    }
    auto file = connection.OpenFile(remote, FtpFile::Access::Read);
    const auto buffer = std::make_unique_for_overwrite<char[]>(kReadBytes);
    std::size_t total = 0;
    for (;;) {
        const auto got = file->ReadSome(buffer.get(), kReadBytes);
        if (got == 0) {
            break;
        }
        if (!WriteAll(out, buffer.get(), got)) {
            return 1;
        }
        total += got;
    }
    file->Close();
    ::close(out);
    std::printf("%zu\n", total);
    return 0;
}

int Put(FtpConnection& connection, const std::string& local, const std::string& remote) {
    const int in = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return 1;
    }
    auto file = connection.OpenFile(remote, FtpFile::Access::Write);
    std::size_t total = 0;
    for (;;) {
        const auto got = ::read(in, file->WriteSpace(kWriteBytes), kWriteBytes);
        if (got < 0) {
            return 1;
        }
        if (got == 0) {
            break;
        }
        file->CommitWrite(static_cast<std::size_t>(got));
        total += static_cast<std::size_t>(got);
    }
    file->Flush();
    file->Close();
    ::close(in);
    std::printf("%zu\n", total);
    return 0;
}

int List(FtpConnection& connection, const std::string& directory) {
    if (!connection.SetCurrentDirectory(directory)) {
        return 1;
    }
    FtpFileFind find(connection);
    std::size_t count = 0;
    for (bool more = find.FindFile(); more;) {
        more = find.FindNextFile();
        ++count;
    }
    std::printf("%zu\n", count);
    return count > 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        return Usage();
    }
    const std::string verb = argv[1];
    const int fixed = verb == "list" ? 7 : 8;
    if (argc < fixed) {
        return Usage();
    }
    bool passive = false;
    TlsOptions tls{Security::Plain, {}};
    for (int i = fixed; i < argc; ++i) {
        const std::string option = argv[i];
        passive = passive || option == "passive";
        if (option == "tls") {
            tls = {Security::Explicit,
                   [](const CertificateInfo&) { return CertificateVerdict::AcceptedOnce; }};
        }
    }
    try {
        FtpSession session;
        auto connection = session.GetFtpConnection(
            argv[2], argv[4], argv[5], static_cast<std::uint16_t>(std::atoi(argv[3])), passive, tls);
        if (verb == "get") {
            return Get(*connection, argv[6], argv[7]);
        }
        if (verb == "put") {
            return Put(*connection, argv[6], argv[7]);
        }
        if (verb == "list") {
            return List(*connection, argv[6]);
        }
        return Usage();
    } catch (const FtpException& failure) {
        std::fprintf(stderr, "ftpbench: %s (%u)\n", failure.what(), failure.ErrorCode());
        return 1;
    }
}
