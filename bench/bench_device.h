// A device folder of a benchmark's own, with a headless screen of the default size; removed
// at the end.
#pragma once

#include <string>

namespace bench {

class BenchDevice {
public:
    BenchDevice();
    ~BenchDevice();
    BenchDevice(const BenchDevice&) = delete;
    BenchDevice& operator=(const BenchDevice&) = delete;

private:
    std::string folder_;
};

}  // namespace bench
