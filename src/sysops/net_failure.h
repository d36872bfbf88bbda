// The French reason logged for a failed download or mail.
#pragma once
#include <string>

#include "platform/transfer.h"

namespace orv {

// Why the transfer failed, in the log's words; server names the host (and port).
std::string failureText(const net::TransferError& error, const std::string& server);

}  // namespace orv
