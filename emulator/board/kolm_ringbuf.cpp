#include "kolm_hal.h"

void ringbuf_init(ZUC_RingBuf *ring, uint8_t *buffer, uint32_t size)
{
    ring->buffer = buffer;
    ring->mask = size - 1;
    ring->put = 0;
    ring->get = 0;
}

int ringbuf_put(ZUC_RingBuf *ring, uint8_t byte)
{
    if (((ring->put - ring->get) & ring->mask) == ring->mask)
        return 0;
    ring->buffer[ring->put] = byte;
    ring->put = (ring->put + 1) & ring->mask;
    return 1;
}

int ringbuf_get(ZUC_RingBuf *ring)
{
    if (((ring->put - ring->get) & ring->mask) == 0)
        return -1;
    const uint8_t byte = ring->buffer[ring->get];
    ring->get = (ring->get + 1) & ring->mask;
    return byte;
}
