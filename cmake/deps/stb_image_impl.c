/* The one translation unit that compiles the stb_image decoder. Only the formats a skin may use
   are compiled in: any skin bytes reach the decoder, and the others (HDR, PSD, PIC, PNM) are
   attack surface without a use. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#include <stb_image.h>
