// Message texts of the picture readers. The %s places take the format's name ("GIF", "PNG").
#pragma once

namespace readers {

inline constexpr const char* gesUnsupportedFeature =
    "Cannot load image. %s not supported for %s files.";
inline constexpr const char* gesCRCError = "Cannot load image. CRC error found in %s file.";
inline constexpr const char* gesCompression =
    "Cannot load image. Compression error found in %s file.";
inline constexpr const char* gesExtraCompressedData =
    "Cannot load image. Extra compressed data found in %s file.";
inline constexpr const char* gesInvalidPalette =
    "Cannot load image. Palette in %s file is invalid.";
inline constexpr const char* gesUnknownCriticalChunk =
    "Cannot load PNG image. Unexpected but critical chunk detected.";
inline constexpr const char* gesCompressionScheme = "The compression scheme is";
inline constexpr const char* gesIndexedNotSupported =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
inline constexpr const char* gesConversionUnsupported =
    "Color conversion failed. Could not find a proper method.";
inline constexpr const char* gesInvalidColorDepth =
    "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
inline constexpr const char* gesInvalidSampleCount =
    "Sample count per pixel does not correspond to the given color scheme.";
inline constexpr const char* gesPreparing = "Preparing...";
inline constexpr const char* gesLoadingData = "Loading data...";
inline constexpr const char* gesTransfering = "Transfering...";
inline constexpr const char* gesLZ77Error = "LZ77 decompression error.";
inline constexpr const char* gesRegistration = "Attempt to register %s twice.";
inline constexpr const char* gesInvalidImage =
    "Cannot load image. Invalid or unexpected %s image format.";
inline constexpr const char* gesInvalidColorFormat = "Invalid color format in %s file.";

}  // namespace readers
