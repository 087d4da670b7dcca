#include "cli/point_output.h"

#include <cmath>

namespace cli {

std::string pointLine(double re, double im) {
    char line[128];
    std::snprintf(line, sizeof line, "実部 %.16G 虚部 %.16G", re, im);
    return line;
}

std::string jsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    char text[64];
    std::snprintf(text, sizeof text, "%.16G", v);
    return text;
}

std::string jsonPoint(double re, double im) {
    return "{\"re\": " + jsonNumber(re) + ", \"im\": " + jsonNumber(im) + "}";
}

std::string jsonPoints(const std::vector<double>& re, const std::vector<double>& im, int count) {
    std::string out = "[";
    for (int k = 0; k < count; ++k) {
        if (k > 0) out += ", ";
        out += jsonPoint(re[k], im[k]);
    }
    return out + "]";
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

}  // namespace cli
