// Writes the program's two default sounds:
//   buzzer.wav          a loud, harsh buzzer of 1.5 s
//   periodendsound.wav  three long horn blasts, the last one falling
// Usage: make_sounds <output folder>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr double Pi = 3.14159265358979323846;

// Rises and falls over `edge` seconds so that no sound starts with a click.
double envelope(double t, double length, double edge)
{
    return std::min({1.0, t / edge, (length - t) / edge});
}

std::vector<float> buzzer()
{
    const double length = 1.5;
    std::vector<float> out(size_t(length * Rate));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / Rate;
        // Two close square-ish tones beat against each other: a harsh rasp.
        double s = 0;
        for (int h = 1; h <= 15; h += 2) {
            s += std::sin(2 * Pi * 118 * h * t) / h;
            s += 0.8 * std::sin(2 * Pi * 176 * h * t) / h;
        }
        s = std::tanh(2.5 * s); // overdriven, like a horn speaker
        out[i] = float(0.8 * envelope(t, length, 0.01) * s);
    }
    return out;
}

std::vector<float> periodEnd()
{
    const double blast = 0.7, gap = 0.25;
    const double length = 3 * blast + 2 * gap;
    std::vector<float> out(size_t(length * Rate), 0.0f);
    double phase[3] = {0, 0, 0};
    const double chord[3] = {349.23, 440.0, 523.25};
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / Rate;
        const int n = int(t / (blast + gap));
        const double local = t - n * (blast + gap);
        if (n > 2 || local > blast)
            continue;
        // The last blast falls by a fourth, like a horn running out of air.
        const double bend = n == 2 ? std::pow(2.0, -5.0 / 12.0 * local / blast) : 1.0;
        const double vibrato = 1.0 + 0.004 * std::sin(2 * Pi * 5.5 * t);
        double s = 0;
        for (int c = 0; c < 3; ++c) {
            phase[c] += 2 * Pi * chord[c] * bend * vibrato / Rate;
            for (int h = 1; h <= 8; ++h)
                s += std::sin(h * phase[c]) / std::pow(h, 1.3);
        }
        out[i] = float(0.75 * envelope(local, blast, 0.03) * std::tanh(0.6 * s));
    }
    return out;
}

bool write(const std::string &path, const std::vector<float> &samples)
{
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make_sounds: cannot write %s: %s\n", path.c_str(),
                     sf_strerror(nullptr));
        return false;
    }
    sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = write(folder + "/buzzer.wav", buzzer()) &&
                    write(folder + "/periodendsound.wav", periodEnd());
    return ok ? 0 : 1;
}
