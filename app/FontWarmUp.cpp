#include "app/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

FontWarmUp::FontWarmUp() {
    try {
        // The configuration is process-wide, so the text layout library finds
        // it loaded (or waits for this load) instead of starting its own.
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: the fonts load when first needed, as without this.
    }
}

FontWarmUp::~FontWarmUp() {
    if (m_thread.joinable()) m_thread.join();
}
