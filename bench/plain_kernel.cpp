#include "plain_kernel.h"

#include "plain_kernel_body.h"

void PlainThresholdPack(const std::uint32_t* pixels, int width, int height, int stride, unsigned threshold,
                        std::uint8_t* out)
{
    PlainThresholdPackBody(pixels, width, height, stride, threshold, out);
}
