// A stand-in for the decoder module that counts its calls and fails where it is told to
// (one behaviour per build). Its "picture" is 2 x 1: blue then red, 24-bit, bottom-up.
#include <cstdint>
#include <cstring>
#include <string>

namespace {
int load_calls = 0;
int data_calls = 0;
int end_calls = 0;
std::string last_path;

[[maybe_unused]] void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t mLoadPNG(const char* path, uint32_t* handle,
                                                        void* info1064, int32_t* byte_count) {
  ++load_calls;
  last_path = path;
#ifdef STUB_MODE_fail_load
  (void)handle, (void)info1064, (void)byte_count;
  return 0;
#else
  auto* info = static_cast<uint8_t*>(info1064);
  PutU32(info, 40);
  PutU32(info + 4, 2);
  PutU32(info + 8, 1);
  info[12] = 1;
  info[14] = 24;
  *handle = 77;
#ifdef STUB_MODE_bad_count
  *byte_count = -8;
#else
  *byte_count = 8;  // 6 bytes of pixels padded to 8
#endif
  return 1;
#endif
}

__attribute__((visibility("default"))) int32_t mGetPNGData(uint32_t* handle, uint8_t* buffer) {
  ++data_calls;
#ifdef STUB_MODE_fail_get
  (void)handle, (void)buffer;
  return 0;
#else
  if (*handle != 77) return 0;
  const uint8_t row[8] = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0};  // BGR blue, BGR red, padding
  std::memcpy(buffer, row, sizeof row);
  return 1;
#endif
}

__attribute__((visibility("default"))) int32_t mEndPNG(uint32_t* handle) {
  ++end_calls;
  (void)handle;
  return 1;
}

__attribute__((visibility("default"))) int stub_load_calls() { return load_calls; }
__attribute__((visibility("default"))) int stub_data_calls() { return data_calls; }
__attribute__((visibility("default"))) int stub_end_calls() { return end_calls; }
__attribute__((visibility("default"))) const char* stub_last_path() { return last_path.c_str(); }
__attribute__((visibility("default"))) void stub_reset() {
  load_calls = data_calls = end_calls = 0;
  last_path.clear();
}

}  // extern "C"
