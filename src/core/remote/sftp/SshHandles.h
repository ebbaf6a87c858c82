#pragma once

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <memory>

namespace tidewell::sftp {

// Owners of libssh's handles, each released by libssh's own function.
struct SshSessionFree {
    void operator()(ssh_session session) const {
        if (ssh_is_connected(session)) {
            ssh_disconnect(session);
        }
        ssh_free(session);
    }
};
struct SshChannelFree {
    // Closes it first when still open.
    void operator()(ssh_channel channel) const { ssh_channel_free(channel); }
};
struct SftpSessionFree {
    void operator()(sftp_session sftp) const { sftp_free(sftp); }
};
struct SftpFileFree {
    void operator()(sftp_file file) const { sftp_close(file); }
};
struct SftpDirFree {
    void operator()(sftp_dir dir) const { sftp_closedir(dir); }
};
struct SftpAttributesFree {
    void operator()(sftp_attributes attributes) const { sftp_attributes_free(attributes); }
};
struct SshKeyFree {
    void operator()(ssh_key key) const { ssh_key_free(key); }
};
struct SshStringFree {
    void operator()(char* text) const { ssh_string_free_char(text); }
};
struct SshHashFree {
    void operator()(unsigned char* hash) const { ssh_clean_pubkey_hash(&hash); }
};

using SshSessionPtr = std::unique_ptr<ssh_session_struct, SshSessionFree>;
using SshChannelPtr = std::unique_ptr<ssh_channel_struct, SshChannelFree>;
using SftpSessionPtr = std::unique_ptr<sftp_session_struct, SftpSessionFree>;
using SftpFilePtr = std::unique_ptr<sftp_file_struct, SftpFileFree>;
using SftpDirPtr = std::unique_ptr<sftp_dir_struct, SftpDirFree>;
using SftpAttributesPtr = std::unique_ptr<sftp_attributes_struct, SftpAttributesFree>;
using SshKeyPtr = std::unique_ptr<ssh_key_struct, SshKeyFree>;
using SshStringPtr = std::unique_ptr<char, SshStringFree>;
using SshHashPtr = std::unique_ptr<unsigned char, SshHashFree>;

} // namespace tidewell::sftp
