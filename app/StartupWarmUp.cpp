#include "app/StartupWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <cstddef>
#include <string>
#include <system_error>
#include <utility>

#include "host/emulated/root.h"

namespace {

// The value a setting's name stands for in table, or fallback for a name not in it.
template <typename Value, std::size_t N>
Value Lookup(const std::pair<const char*, Value> (&table)[N], const std::string& name, Value fallback) {
    for (const auto& [key, value] : table)
        if (name == key) return value;
    return fallback;
}

// The rendering options GTK derives from the same settings for its text, so
// the font map's caches hold what GTK will look up.
cairo_font_options_t* RenderingOptions(const DisplayFontSettings& settings) {
    static const std::pair<const char*, cairo_hint_style_t> kHintStyles[] = {
        {"hintnone", CAIRO_HINT_STYLE_NONE},
        {"hintslight", CAIRO_HINT_STYLE_SLIGHT},
        {"hintmedium", CAIRO_HINT_STYLE_MEDIUM},
        {"hintfull", CAIRO_HINT_STYLE_FULL},
    };
    static const std::pair<const char*, cairo_subpixel_order_t> kSubpixelOrders[] = {
        {"rgb", CAIRO_SUBPIXEL_ORDER_RGB},
        {"bgr", CAIRO_SUBPIXEL_ORDER_BGR},
        {"vrgb", CAIRO_SUBPIXEL_ORDER_VRGB},
        {"vbgr", CAIRO_SUBPIXEL_ORDER_VBGR},
    };
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);

    cairo_hint_style_t hintStyle = CAIRO_HINT_STYLE_DEFAULT;
    if (settings.Hinting == 0)
        hintStyle = CAIRO_HINT_STYLE_NONE;
    else if (settings.Hinting == 1)
        hintStyle = Lookup(kHintStyles, settings.HintStyle, CAIRO_HINT_STYLE_DEFAULT);
    cairo_font_options_set_hint_style(options, hintStyle);

    const cairo_subpixel_order_t order = Lookup(kSubpixelOrders, settings.Rgba, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_font_options_set_subpixel_order(options, order);

    cairo_antialias_t antialias = CAIRO_ANTIALIAS_DEFAULT;
    if (settings.Antialias == 0)
        antialias = CAIRO_ANTIALIAS_NONE;
    else if (settings.Antialias == 1)
        antialias = order != CAIRO_SUBPIXEL_ORDER_DEFAULT ? CAIRO_ANTIALIAS_SUBPIXEL : CAIRO_ANTIALIAS_GRAY;
    cairo_font_options_set_antialias(options, antialias);
    return options;
}

}  // namespace

StartupWarmUp::StartupWarmUp(std::string sampleText, DisplayFontSettings settings)
    : m_sample(std::move(sampleText)), m_settings(std::move(settings)) {
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
    // The font configuration is process-wide: load it here rather than on the
    // thread the font map would start for it.
    FcInit();
    LoadFonts();
}

void StartupWarmUp::LoadFonts() {
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    pango_cairo_context_set_resolution(context, m_settings.Dpi);
    cairo_font_options_t* options = RenderingOptions(m_settings);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);

    PangoFontDescription* font = pango_font_description_from_string(m_settings.Font.c_str());
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
