// PictureClasses.h -- installs the picture classes into the archive's object factory.
#pragma once

namespace wordlark::graphics {

// Makes the factory build ImageResource for "gla0", "fon0", "fon6" and "fons",
// AnimationResource for "ani0" and BitmapResource for "bitm" and "bit6". Called explicitly
// at start-up and by tests (a registration from a static initialiser could be dropped by the
// linker). Calling it again changes nothing.
void registerPictureClasses();

}  // namespace wordlark::graphics
