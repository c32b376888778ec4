#include "crash/DnsQuery.h"

#include <algorithm>
#include <random>

namespace {
constexpr uint16_t TypeMx = 15;
constexpr const char* PublicDnsServer = "8.8.8.8";

void PutU16(std::string& out, uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

// A bounds-checked reader over the answer packet.
class TReader {
public:
    explicit TReader(const std::string& packet) : FData(packet) {}
    bool U16(size_t& pos, uint16_t& v) const {
        if (pos + 2 > FData.size()) return false;
        v = static_cast<uint16_t>(static_cast<uint8_t>(FData[pos]) << 8 | static_cast<uint8_t>(FData[pos + 1]));
        pos += 2;
        return true;
    }
    // A possibly compressed name at `pos`; `pos` moves past it in the record.
    bool Name(size_t& pos, std::string& name) const {
        name.clear();
        size_t at = pos;
        bool jumped = false;
        for (int steps = 0; steps < 128; ++steps) {
            if (at >= FData.size()) return false;
            uint8_t len = static_cast<uint8_t>(FData[at]);
            if ((len & 0xC0) == 0xC0) {
                if (at + 1 >= FData.size()) return false;
                if (!jumped) pos = at + 2;
                jumped = true;
                at = (len & 0x3F) << 8 | static_cast<uint8_t>(FData[at + 1]);
                continue;
            }
            if (len & 0xC0) return false;
            if (len == 0) {
                if (!jumped) pos = at + 1;
                return true;
            }
            if (at + 1 + len > FData.size() || name.size() + len + 1 > 255) return false;
            if (!name.empty()) name += '.';
            name.append(FData, at + 1, len);
            at += 1 + len;
        }
        return false;  // a pointer loop
    }
    size_t Size() const { return FData.size(); }

private:
    const std::string& FData;
};
}  // namespace

std::string BuildMxQuery(uint16_t id, const std::string& domain) {
    std::string q;
    PutU16(q, id);
    PutU16(q, 0x0100);  // standard query, recursion desired
    PutU16(q, 1);
    PutU16(q, 0);
    PutU16(q, 0);
    PutU16(q, 0);
    std::string name = domain;
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (name.empty() || name.size() > 253) throw Exception("Invalid domain name \"" + domain + "\".");
    size_t start = 0;
    for (;;) {
        size_t dot = name.find('.', start);
        size_t len = (dot == std::string::npos ? name.size() : dot) - start;
        if (len == 0 || len > 63) throw Exception("Invalid domain name \"" + domain + "\".");
        q += static_cast<char>(len);
        q.append(name, start, len);
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    q += '\0';
    PutU16(q, TypeMx);
    PutU16(q, 1);  // class IN
    return q;
}

std::vector<TMxRecord> ParseMxAnswer(const std::string& packet, uint16_t id) {
    std::vector<TMxRecord> records;
    TReader r(packet);
    size_t pos = 0;
    uint16_t answerId, flags, questions, answers, skip;
    if (!r.U16(pos, answerId) || !r.U16(pos, flags) || !r.U16(pos, questions) || !r.U16(pos, answers) ||
        !r.U16(pos, skip) || !r.U16(pos, skip))
        return records;
    // Must be our answer, a response, not truncated, without error.
    if (answerId != id || !(flags & 0x8000) || (flags & 0x0200) || (flags & 0x000F) != 0) return records;
    std::string name;
    for (int i = 0; i < questions; ++i)
        if (!r.Name(pos, name) || !r.U16(pos, skip) || !r.U16(pos, skip)) return {};
    for (int i = 0; i < answers; ++i) {
        uint16_t type, cls, ttlHigh, ttlLow, length, preference;
        if (!r.Name(pos, name) || !r.U16(pos, type) || !r.U16(pos, cls) || !r.U16(pos, ttlHigh) ||
            !r.U16(pos, ttlLow) || !r.U16(pos, length) || pos + length > r.Size())
            return {};
        size_t next = pos + length;
        if (type == TypeMx && cls == 1) {
            TMxRecord mx;
            if (!r.U16(pos, preference) || !r.Name(pos, mx.Host) || pos > next) return {};
            mx.Preference = preference;
            records.push_back(mx);
        }
        pos = next;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const TMxRecord& a, const TMxRecord& b) { return a.Preference < b.Preference; });
    return records;
}

std::string ResolveMailExchanger(const std::string& recipient, const std::vector<std::string>& servers,
                                 IDatagramSocket& socket, int timeoutMs) {
    size_t at = recipient.rfind('@');
    std::string domain = at == std::string::npos ? recipient : recipient.substr(at + 1);
    std::vector<std::string> asked = servers;
    if (asked.empty()) asked.push_back(PublicDnsServer);
    std::random_device random;
    try {
        for (const std::string& server : asked) {
            uint16_t id = static_cast<uint16_t>(random());
            std::string answer = socket.Exchange(server, BuildMxQuery(id, domain), timeoutMs);
            std::vector<TMxRecord> records = ParseMxAnswer(answer, id);
            if (!records.empty() && !records.front().Host.empty()) return records.front().Host;
        }
    } catch (const Exception&) {
    }
    throw Exception("Cannot resolve the \"" + domain + "\" MX record.");
}
