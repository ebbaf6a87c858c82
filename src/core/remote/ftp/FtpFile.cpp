#include "core/remote/ftp/FtpFile.h"

#include "core/remote/ftp/DataTransfer.h"
#include "core/remote/ftp/FtpException.h"

namespace tidewell::ftp {

FtpFile::FtpFile(std::unique_ptr<DataTransfer> transfer, Access access)
    : transfer_(std::move(transfer)), access_(access) {}

FtpFile::~FtpFile() {
    if (transfer_) {
        transfer_->Abandon();
    }
}

std::size_t FtpFile::Read(void* buffer, std::size_t size) {
    if (!transfer_ || access_ != Access::Read) {
        throw FtpException(error::kErrorReply, "the file is not open for reading");
    }
    return transfer_->Receive(static_cast<char*>(buffer), size);
}

std::size_t FtpFile::ReadSome(void* buffer, std::size_t size) {
    if (!transfer_ || access_ != Access::Read) {
        throw FtpException(error::kErrorReply, "the file is not open for reading");
    }
    return transfer_->ReceiveSome(static_cast<char*>(buffer), size);
}

void FtpFile::Write(const void* buffer, std::size_t size) {
    if (!transfer_ || access_ != Access::Write) {
        throw FtpException(error::kErrorReply, "the file is not open for writing");
    }
    transfer_->Send(static_cast<const char*>(buffer), size);
}

char* FtpFile::WriteSpace(std::size_t size) {
    if (!transfer_ || access_ != Access::Write) {
        throw FtpException(error::kErrorReply, "the file is not open for writing");
    }
    return transfer_->SendSpace(size);
}

void FtpFile::CommitWrite(std::size_t filled) {
    transfer_->CommitSend(filled);
}

bool FtpFile::Flush() {
    if (failure_) {
        return false;
    }
    if (!transfer_ || access_ != Access::Write) {
        return transfer_ != nullptr;
    }
    try {
        transfer_->FlushSend();
        return true;
    } catch (const FtpException& failure) {
        failure_ = failure;
        return false;
    }
}

void FtpFile::Close() {
    if (failure_) {
        transfer_.reset();
        auto failure = *failure_;
        failure_.reset();
        throw failure;
    }
    auto transfer = std::move(transfer_);
    if (!transfer || transfer->Finished()) {
        return;
    }
    if (access_ == Access::Write) {
        transfer->FinishSend();
    } else {
        transfer->Abandon();
    }
}

} // namespace tidewell::ftp
