// Windows' fonts are the system's and need no warm-up: nothing runs beside the
// start, and the window measures its text as it comes.
#include "app/StartupWarmUp.h"

StartupWarmUp::StartupWarmUp(std::string sampleText, DisplayFontSettings settings)
    : m_sample(std::move(sampleText)), m_settings(std::move(settings)) {}

StartupWarmUp::~StartupWarmUp() = default;

void StartupWarmUp::AdoptFonts() {}
