// ResolveFinalUrl on a loopback 302 chain, and with the server's file name
// asked for on an answer with Content-Disposition, each against the plainest
// blocking request of the same kind of URL (URLOpenBlockingStreamW, first
// byte read), measured in the same run and interleaved. Needs
// tools/loopback_http.py, named by FW_HTTP_PORT_FILE (./fw bench starts it).
#include "loopback_ports.h"
#include "url_resolve.h"
#include <algorithm>
#include <stdio.h>
#include <vector>

namespace {

double NowMs() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

bool Resolve(const wchar_t* url) {
    wchar_t* finalUrl = nullptr;
    int result = fw::ResolveFinalUrl(url, &finalUrl);
    CoTaskMemFree(finalUrl);
    return result == 0;
}

bool ResolveWithName(const wchar_t* url) {
    wchar_t* finalUrl = nullptr;
    wchar_t name[fw::kServerNameChars];
    int result = fw::ResolveFinalUrl(url, &finalUrl, name);
    CoTaskMemFree(finalUrl);
    return result == 0 && lstrcmpW(name, L"Quarterly report.pdf") == 0;
}

bool FirstByte(const wchar_t* url) {
    IStream* stream = nullptr;
    if (FAILED(URLOpenBlockingStreamW(nullptr, url, &stream, 0, nullptr)) || !stream) return false;
    char byte;
    ULONG got = 0;
    HRESULT hr = stream->Read(&byte, 1, &got);
    stream->Release();
    return SUCCEEDED(hr) && got == 1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain() {
    fw::LoopbackPorts ports = fw::ReadLoopbackPorts();
    if (!ports.live) {
        printf("bench_resolve: skipped, no loopback server (set FW_HTTP_PORT_FILE; ./fw bench does)\n");
        return 0;
    }
    if (FAILED(CoInitialize(nullptr))) return 1;

    const int warmUp = 5, rounds = 41;
    std::vector<double> resolve, floor, named, namedFloor;
    int failures = 0;
    for (int i = 0; i < warmUp + rounds; ++i) {
        // A new query each time, so that no cache answers for the server.
        wchar_t url[256];
        swprintf(url, 256, L"http://127.0.0.1:%d/get.php?id=%d", ports.live, i);
        double t0 = NowMs();
        bool ok = Resolve(url);
        double t1 = NowMs();
        swprintf(url, 256, L"http://127.0.0.1:%d/get.php?id=f%d", ports.live, i);
        ok = FirstByte(url) && ok;
        double t2 = NowMs();
        const wchar_t* header = L"h=attachment%3B%20filename%3D%22Quarterly%20report.pdf%22";
        swprintf(url, 256, L"http://127.0.0.1:%d/cd?%ls&i=%d", ports.live, header, i);
        ok = ResolveWithName(url) && ok;
        double t3 = NowMs();
        swprintf(url, 256, L"http://127.0.0.1:%d/cd?%ls&i=f%d", ports.live, header, i);
        ok = FirstByte(url) && ok;
        double t4 = NowMs();
        if (!ok) ++failures;
        if (i < warmUp) continue;
        resolve.push_back(t1 - t0);
        floor.push_back(t2 - t1);
        named.push_back(t3 - t2);
        namedFloor.push_back(t4 - t3);
    }
    CoUninitialize();

    double r = Median(resolve), f = Median(floor);
    printf("bench_resolve: 302 chain on 127.0.0.1, median of %d\n", rounds);
    printf("  ResolveFinalUrl                        %8.2f ms\n", r);
    printf("  floor: URLOpenBlockingStreamW, 1 byte  %8.2f ms\n", f);
    printf("  ratio %.2fx (aim <= 1.20x)%s\n", r / f, failures ? ", SOME REQUESTS FAILED" : "");
    double n = Median(named), nf = Median(namedFloor);
    printf("bench_resolve: Content-Disposition answer on 127.0.0.1, server's file name asked for\n");
    printf("  ResolveFinalUrl with header capture    %8.2f ms\n", n);
    printf("  floor: URLOpenBlockingStreamW, 1 byte  %8.2f ms\n", nf);
    printf("  ratio %.2fx (aim <= 1.20x)\n", n / nf);
    // The lines ./fw bench gathers into its table: RESULT|what|measured|floor|ratio|aim
    const char* failed = failures ? " (SOME REQUESTS FAILED)" : "";
    printf("RESULT|ResolveFinalUrl, 302 chain on loopback%s|%.2f ms|%.2f ms|%.2f|<= 1.2x\n", failed, r, f, r / f);
    printf("RESULT|ResolveFinalUrl with header capture on loopback%s|%.2f ms|%.2f ms|%.2f|<= 1.2x\n", failed, n, nf,
           n / nf);
    return failures ? 1 : 0;
}
