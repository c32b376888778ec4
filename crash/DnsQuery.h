#pragma once
// The MX lookup of the recipient's domain: our own DNS query over UDP.
#include <cstdint>
#include <string>
#include <vector>

#include "crash/Socket.h"

struct TMxRecord {
    int Preference = 0;
    std::string Host;
};

// A standard recursive query for the MX records of `domain`. Raises
// Exception for a name that cannot be encoded (empty or over-long labels).
std::string BuildMxQuery(uint16_t id, const std::string& domain);

// The MX records of an answer to the query `id`, lowest preference first;
// empty for an error answer, a foreign id or a truncated or malformed packet.
std::vector<TMxRecord> ParseMxAnswer(const std::string& packet, uint16_t id);

// The mail exchanger for `recipient`'s domain, asking each server in turn
// (a fixed public server when the list is empty). Raises Exception
// "Cannot resolve the "%s" MX record." when no server answers with one.
std::string ResolveMailExchanger(const std::string& recipient, const std::vector<std::string>& servers,
                                 IDatagramSocket& socket, int timeoutMs = 5000);
