#include "core/remote/ftp/EngineTestSupport.h"

#include <algorithm>

namespace tidewell::ftp::support {

std::string MakeContent(std::size_t size, unsigned seed) {
    std::string content(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& c : content) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return content;
}

std::unique_ptr<FtpConnection> Connect(const test::FtpServer& server, bool passive,
                                       std::chrono::milliseconds timeout, const TlsOptions& tls) {
    FtpSession session(timeout);
    const auto& address = server.Address();
    return session.GetFtpConnection(address.host, address.user, address.password, address.port, passive, tls);
}

void Upload(FtpConnection& connection, const std::string& name, const std::string& content) {
    auto file = connection.OpenFile(name, FtpFile::Access::Write);
    for (std::size_t at = 0; at < content.size(); at += kBlock) {
        file->Write(content.data() + at, std::min(kBlock, content.size() - at));
    }
    file->Flush();
    file->Close();
}

std::string Download(FtpConnection& connection, const std::string& name) {
    auto file = connection.OpenFile(name, FtpFile::Access::Read);
    std::string content;
    char buffer[kBlock];
    for (;;) {
        const auto got = file->Read(buffer, sizeof buffer);
        content.append(buffer, got);
        if (got < sizeof buffer) {
            break;
        }
    }
    file->Close();
    return content;
}

std::vector<Listed> List(FtpConnection& connection) {
    std::vector<Listed> entries;
    FtpFileFind find(connection);
    for (bool more = find.FindFile(); more;) {
        more = find.FindNextFile();
        entries.push_back({find.GetFileName(), find.GetLength(), find.GetLastWriteTime(), find.IsDirectory(),
                           find.IsDots()});
    }
    find.Close();
    return entries;
}

std::vector<std::string> Names(const std::vector<Listed>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        if (!entry.dots) {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tidewell::ftp::support
