/* The one translation unit that compiles the stb_image decoder. Only the formats a skin may use
   are compiled in: any skin bytes reach the decoder, and the others (HDR, PSD, PIC, PNM) are
   attack surface without a use. */
#include <stdlib.h>
#include <string.h>

/* Decoding straight into the caller's picture: a caller names a block of the finished image's
   size (ombrel_stbi_set_target) and the decoder's first allocation of exactly that size is that
   block, so the decoded pixels land in it without a copy. Should the decoder use the block for
   something else of the same size, nothing breaks: freeing it is ignored (it becomes free for
   the next allocation of its size) and growing it moves its bytes to a heap block. The caller
   sees whether the image it got back is its block. One target per thread. */
static _Thread_local unsigned char* g_target;
static _Thread_local size_t g_targetSize;
static _Thread_local int g_targetTaken;

void ombrel_stbi_set_target(void* block, size_t size)
{
    g_target = (unsigned char*)block;
    g_targetSize = size;
    g_targetTaken = 0;
}

static void* ombrel_stbi_malloc(size_t size)
{
    if (g_target != NULL && !g_targetTaken && size == g_targetSize) {
        g_targetTaken = 1;
        return g_target;
    }
    return malloc(size);
}

static void ombrel_stbi_free(void* p)
{
    if (p != NULL && p == g_target) {
        g_targetTaken = 0;
        return;
    }
    free(p);
}

static void* ombrel_stbi_realloc(void* p, size_t oldSize, size_t newSize)
{
    if (p != NULL && p == g_target) {
        void* moved = malloc(newSize);
        if (moved == NULL)
            return NULL;
        memcpy(moved, p, oldSize < newSize ? oldSize : newSize);
        g_targetTaken = 0;
        return moved;
    }
    return realloc(p, newSize);
}

#define STBI_MALLOC(size) ombrel_stbi_malloc(size)
#define STBI_FREE(p) ombrel_stbi_free(p)
#define STBI_REALLOC_SIZED(p, oldSize, newSize) ombrel_stbi_realloc(p, oldSize, newSize)

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#include <stb_image.h>
