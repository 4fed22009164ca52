#include "net/socks_error_text.h"

namespace kestrova {

namespace {

std::string ReplyText(uint8_t reply) {
    switch (reply) {
        case 1:
            return "General SOCKS server failure";
        case 2:
            return "Connection not allowed by ruleset";
        case 3:
            return "Network unreachable";
        case 4:
            return "Host unreachable";
        case 5:
            return "Connection refused";
        case 6:
            return "TTL expired";
        case 7:
            return "Command not supported";
        case 8:
            return "Address type not supported";
        case 91:
            return "Request rejected or failed";
        case 92:
            return "Request rejected: cannot connect to identd on the client";
        case 93:
            return "Request rejected: the client program and identd report different user-ids";
        default:
            return "Unassigned SOCKS server error";
    }
}

}  // namespace

std::string SocksErrorText(uint32_t code) {
    switch (code & ~0xFFu) {
        case kSocksNotSupported:
            return "SOCKS proxy not supported";
        case kSocksConnectionLost:
            return "Connection lost to SOCKS server";
        case kSocksReplyError:
            return ReplyText(static_cast<uint8_t>(code & 0xFFu));
        case kSocksNoMethod:
            return "SOCKS proxy accepts none of the offered authentication methods";
        case kSocksLoginTooLong:
            return "SOCKS user name or password longer than 255 characters";
        case kSocksHostTooLong:
            return "Host name longer than 255 characters for the SOCKS proxy";
        case kSocksLoginRefused:
            return "SOCKS proxy refused the user name or password";
        case kSocksMethodNotOffered:
            return "SOCKS proxy chose an authentication method that was not offered";
        default:
            return {};
    }
}

}  // namespace kestrova
