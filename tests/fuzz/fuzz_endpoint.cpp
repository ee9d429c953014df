// Endpoint texts from the port box, mvxctl --port and the settings. A text that parses prints
// back to one that parses to an equal endpoint and prints the same; a gateway built from its
// host and port is that endpoint again.
#include <cstddef>
#include <cstdint>

#include "comm/endpoint.h"
#include "fuzzsupport.h"

namespace {

bool same(const Endpoint &a, const Endpoint &b) {
    return a.isValid() == b.isValid() && a.transport() == b.transport() && a.device() == b.device() &&
           a.host() == b.host() && a.port() == b.port();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const Endpoint endpoint = Endpoint::parse(text);
    if (!endpoint.isValid()) {
        FUZZ_CHECK(!endpoint.error().isEmpty(), "a refused endpoint says why");
        return 0;
    }
    FUZZ_CHECK(!endpoint.describe().isEmpty(), "an endpoint describes itself");
    const QString printed = endpoint.toString();
    const Endpoint reread = Endpoint::parse(printed);
    FUZZ_CHECK(same(endpoint, reread), "a printed endpoint parses to an equal one");
    FUZZ_CHECK(reread.toString() == printed, "an endpoint prints the same twice");
    if (endpoint.isTcp()) {
        FUZZ_CHECK(endpoint.port() >= 1 && endpoint.port() <= 65535, "a TCP port is 1 to 65535");
        FUZZ_CHECK(!endpoint.host().isEmpty(), "a gateway has a host");
        FUZZ_CHECK(same(Endpoint::tcp(endpoint.host(), endpoint.port()), endpoint),
                   "a gateway from its host and port is the same");
    } else {
        FUZZ_CHECK(!endpoint.device().isEmpty(), "a serial endpoint names a device");
    }
    return 0;
}
