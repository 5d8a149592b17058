#pragma once

#include <cstdint>
#include <string>

/// The outcome of a file or run operation: code 0 on success, else one of the codes of
/// ResultCodes.h (the Windows system error codes the program's messages know, or one of its own),
/// and the system's or the component's own text for the failure.
struct Status
{
    std::int32_t code = 0;
    std::string message;
    /// A copy or move failed because the file at the target stands in the way (one the system
    /// will not replace: read-only where that counts, busy). Only then may a retry clear the
    /// target: any other failure must leave the last good copy alone.
    bool targetInTheWay = false;

    bool ok() const { return code == 0; }
};
