// The probe on GStreamer's discoverer, which tells the elements a file needs and the framework
// lacks; without GStreamer's development files at build time, nothing is probed.
#include "MediaProbe.h"

#ifdef QUARTO_HAVE_GSTREAMER
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#endif

namespace quarto {

#ifdef QUARTO_HAVE_GSTREAMER

namespace {

std::string CodecName(const std::string& capsText) {
    GstCaps* caps = gst_caps_from_string(capsText.c_str());
    if (!caps)
        return {};
    std::string name;
    if (gchar* text = gst_pb_utils_get_codec_description(caps)) {
        name = text;
        g_free(text);
    }
    gst_caps_unref(caps);
    return name;
}

} // namespace

TMediaProbe ProbeMedia(const std::string& path, int timeoutMs) {
    TMediaProbe probe;
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return probe;
    gst_pb_utils_init();
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (!uri) {
        g_clear_error(&error);
        return probe;
    }
    GstDiscoverer* discoverer =
        gst_discoverer_new(static_cast<GstClockTime>(timeoutMs) * GST_MSECOND, &error);
    if (!discoverer) {
        g_clear_error(&error);
        g_free(uri);
        return probe;
    }
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, &error);
    g_clear_error(&error);
    if (info) {
        const GstDiscovererResult result = gst_discoverer_info_get_result(info);
        probe.Done = result != GST_DISCOVERER_TIMEOUT;
        if (result == GST_DISCOVERER_MISSING_PLUGINS) {
            if (const gchar** details =
                    gst_discoverer_info_get_missing_elements_installer_details(info))
                for (const gchar** d = details; *d; ++d) {
                    TMissingElement element = MissingElementOf(*d, CodecName);
                    if (!element.Description.empty())
                        probe.Missing.push_back(std::move(element));
                }
        }
        gst_discoverer_info_unref(info);
    }
    g_object_unref(discoverer);
    g_free(uri);
    return probe;
}

#else

TMediaProbe ProbeMedia(const std::string&, int) {
    return {};
}

#endif

} // namespace quarto
