// One file through the SFTP engine alone (SftpFileSystem, no run, no window),
// the host key taken as it comes: downloaded from REMOTE into LOCAL, or
// uploaded from LOCAL to REMOTE, in blocks as large as the runs use.
//   sftp_transfer HOST:PORT USER PASSWORD get|put REMOTE LOCAL
// Prints, for the transfer alone (from opening the remote file until it was
// closed): seconds, CPU seconds of the process and growth of its resident size in MB.
#include "ProcessMeter.h"

#include "core/remote/sftp/SftpFileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace tidewell;

namespace {

// What the download run hands ReadSome at most.
constexpr std::size_t kReadBytes = 4 * 1024 * 1024;

void Download(RemoteFileSystem& fs, const std::string& remote, const std::string& local) {
    std::ofstream out(local, std::ios::binary | std::ios::trunc);
    auto file = fs.Open(remote, RemoteFileSystem::Access::Read, 0, fs.Size(remote));
    std::vector<char> buffer(kReadBytes);
    while (const auto got = file->ReadSome(buffer.data(), buffer.size())) {
        out.write(buffer.data(), static_cast<std::streamsize>(got));
    }
    file->Close();
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + local);
    }
}

void Upload(RemoteFileSystem& fs, const std::string& local, const std::string& remote) {
    std::ifstream in(local, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + local);
    }
    auto file = fs.Open(remote, RemoteFileSystem::Access::Write, 0);
    for (;;) {
        char* space = file->WriteSpace(RemoteStream::kMostWriteSpace);
        in.read(space, RemoteStream::kMostWriteSpace);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) {
            break;
        }
        file->CommitWrite(got);
    }
    if (!file->Flush()) {
        throw std::runtime_error("the upload failed");
    }
    file->Close();
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 7 ? argv[4] : "";
    if (mode != "get" && mode != "put") {
        std::fprintf(stderr, "usage: sftp_transfer HOST:PORT USER PASSWORD get|put REMOTE LOCAL\n");
        return 2;
    }
    const std::string address = argv[1];
    const auto colon = address.rfind(':');
    sftp::SftpLogin login;
    login.host = address.substr(0, colon);
    login.port =
        colon == std::string::npos ? 22 : static_cast<std::uint16_t>(std::atoi(address.c_str() + colon + 1));
    login.user = argv[2];
    login.password = argv[3];
    login.judge = [](const HostKeyInfo&) { return HostKeyVerdict::AcceptedOnce; };
    try {
        auto fs = sftp::SftpFileSystem::Connect(login);
        bench::ProcessMeter meter;
        meter.Start();
        if (mode == "get") {
            Download(*fs, argv[5], argv[6]);
        } else {
            Upload(*fs, argv[6], argv[5]);
        }
        meter.Stop();
        fs->Close();
        std::printf("%.3f %.3f %.1f\n", meter.Seconds(), meter.CpuSecondsUsed(), meter.RssGrowthMb());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "sftp_transfer: %s\n", failure.what());
        return 1;
    }
    return 0;
}
