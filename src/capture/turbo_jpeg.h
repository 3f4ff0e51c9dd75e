// libjpeg-turbo in the place of the vendor library the JPEG writer was made for.
#pragma once

#include "capture/jpeg_writer.h"

namespace rk {

// Encodes through libjpeg's own interface, row batch by row batch, with the settings
// tjCompress2 uses for the same request plus a restart marker after every row of blocks (which
// lets two threads encode the two halves of a picture): its files are byte for byte those of
// tjCompress2 with the same restart interval, not of a plain tjCompress2 call. Qualities below
// 1 are taken as 1 and above 100 as 100 (the record keeps the number as given).
class TurboJpegLibrary final : public JpegLibrary {
  public:
    int init(JpegCoreProperties& props) override;
    int write(JpegCoreProperties& props) override;
    void free(JpegCoreProperties& props) override;
};

}  // namespace rk
