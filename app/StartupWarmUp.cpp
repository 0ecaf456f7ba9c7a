#include "app/StartupWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <system_error>

#include "host/emulated/root.h"

namespace {

// What GTK lays out interface text with when no desktop setting says otherwise:
// its own default font, at the X server's usual 96 dots per inch, with hinted
// metrics. A desktop that sets another font only makes the warm-up miss; the
// adopted map serves that font as well as a fresh one would.
constexpr const char* kInterfaceFont = "Sans 10";
constexpr double kResolution = 96.0;

}  // namespace

StartupWarmUp::StartupWarmUp(std::string sampleText) : m_sample(std::move(sampleText)) {
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread to spare: all of it happens when first needed, as without this.
    }
}

StartupWarmUp::~StartupWarmUp() {
    if (m_thread.joinable()) m_thread.join();
    if (m_map) g_object_unref(m_map);
}

void StartupWarmUp::Run() {
    // The registry is needed first, by the configuration the window is built from.
    host::emulated::OpenRegistry();
    LoadFonts();
}

void StartupWarmUp::LoadFonts() {
    // The font configuration is process-wide: load it here rather than on the
    // thread the font map would start for it.
    FcInit();
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    pango_cairo_context_set_resolution(context, kResolution);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);

    PangoFontDescription* font = pango_font_description_from_string(kInterfaceFont);
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, m_sample.c_str(), static_cast<int>(m_sample.size()));
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);  // shapes the text: loads the font and its glyphs

    g_object_unref(layout);
    pango_font_description_free(font);
    g_object_unref(context);
    m_map = map;
}

void StartupWarmUp::AdoptFonts() {
    if (!m_thread.joinable()) return;
    m_thread.join();
    if (!m_map) return;
    pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(m_map));  // takes its own reference
    g_object_unref(m_map);
    m_map = nullptr;
}
