# plumagectl image and palette: the image engine's files from a script.
# ImageMagick's identify reads what was written; the hashes hold every byte.

$ /usr/bin/cp "$DATA/noise.bmp" "$DATA/alpha.png" "$DIR"
? 0

# Each depth and method of the save; no progress bar without a terminal.
$ plumagectl image save noise.bmp out8.bmp --depth 8 --method 0
out8.bmp: 29 x 23, 8 bits per pixel, 256 colours
? 0
$ plumagectl image save noise.bmp out1.bmp --depth 1 --method 2
out1.bmp: 29 x 23, 1 bits per pixel
? 0
$ plumagectl image save noise.bmp out4.bmp --depth 4 --method 2
out4.bmp: 29 x 23, 4 bits per pixel
? 0
$ plumagectl image save noise.bmp out8m2.bmp --depth 8 --method 2
out8m2.bmp: 29 x 23, 8 bits per pixel, 235 colours
? 0
$ plumagectl image save noise.bmp out24.bmp --depth 24 --method 2
out24.bmp: 29 x 23, 24 bits per pixel
? 0
$ /usr/bin/identify -format "%f: %w x %h, %z bits, %k colours\n" out8.bmp out1.bmp out4.bmp out8m2.bmp out24.bmp
out8.bmp: 29 x 23, 8 bits, 117 colours
out1.bmp: 29 x 23, 1 bits, 2 colours
out4.bmp: 29 x 23, 4 bits, 16 colours
out8m2.bmp: 29 x 23, 8 bits, 234 colours
out24.bmp: 29 x 23, 8 bits, 667 colours
? 0
$ /usr/bin/sha256sum out8.bmp out1.bmp out4.bmp out8m2.bmp
c5e828460400ce6bda7d383e0846a5113c5abbf4913ab7ba253ba0e4c9bd10a3  out8.bmp
7eebc86ffb5eba2830494d134cc51840dfc4e1c2670f13d60b73ab4cc152d6d0  out1.bmp
3d142d36273af1ec6f377577e61b04c67e36b42fcb3c99939466ee18e5d704ab  out4.bmp
23fd8e0e9195834cff9b62c2bb05c92bf0d696ccadaaef88d8db160b2b2d06f8  out8m2.bmp
? 0
$ /usr/bin/cmp out24.bmp noise.bmp
? 0

# A PNG's transparency is composed over white.
$ plumagectl image save alpha.png alpha.bmp --depth 24
alpha.bmp: 2 x 1, 24 bits per pixel
? 0
$ /usr/bin/od -An -tu1 -j54 alpha.bmp
  30  20  10 255 255 255   0   0
? 0

# Palettes: the built-in ones, binary or JASC, and a save through them.
$ plumagectl palette create mono mono.pal --jasc
mono.pal: 2 colours
? 0
$ /usr/bin/cat mono.pal
JASC\r (esc)
0100\r (esc)
2\r (esc)
0 0 0\r (esc)
255 255 255 (no-eol)
? 0
$ plumagectl image save noise.bmp mono.bmp --depth 8 --method 1 --palette mono.pal --jasc
mono.bmp: 29 x 23, 8 bits per pixel, 2 colours
? 0
$ plumagectl palette create 16 16.bin
16.bin: 16 colours
? 0
$ plumagectl palette create halftone halftone.bin
halftone.bin: 256 colours
? 0
$ plumagectl palette create websafe websafe.pal --jasc
websafe.pal: 256 colours
? 0
$ /usr/bin/head -c 40 websafe.pal
JASC\r (esc)
0100\r (esc)
256\r (esc)
0 0 0\r (esc)
128 0 0\r (esc)
0 128 0 (no-eol)
? 0
$ plumagectl image save noise.bmp p16.bmp --depth 8 --palette 16.bin
p16.bmp: 29 x 23, 8 bits per pixel, 16 colours
? 0
$ plumagectl image save noise.bmp halftone.bmp --depth 8 --method 1 --palette halftone.bin
halftone.bmp: 29 x 23, 8 bits per pixel, 256 colours
? 0
$ /usr/bin/identify -format "%f: %w x %h, %k colours\n" mono.bmp p16.bmp halftone.bmp
mono.bmp: 29 x 23, 2 colours
p16.bmp: 29 x 23, 16 colours
halftone.bmp: 29 x 23, 118 colours
? 0
$ /usr/bin/sha256sum 16.bin halftone.bin websafe.pal mono.bmp p16.bmp halftone.bmp
01e7bd7a428b9ad52a03aff832b11b1bf46090659d4e01447ce1dbb4811823b8  16.bin
fdec4e878f577180dea2e54dee2c1533b10e5cf09f604927b7097403ac32c588  halftone.bin
0505d382187680b986d2f8781029809a3d979351d7da4cedd68b8d075a4808cd  websafe.pal
9811c42eabc3218e369cf746859d98ac79139477e022a7e6ea4ab96a08a001c7  mono.bmp
00079dbb02e2983a5e2eabf3b7270a52424da9bcc51369bb6abff6ac9e374a4e  p16.bmp
fccac118751e430b62ab48e10c46d21a96054988ddafcc8a18c2faa6cb32f943  halftone.bmp
? 0

# Grey levels, black and white, and a bilinear resize.
$ plumagectl image gray noise.bmp gray.bmp
gray.bmp: 29 x 23, 24 bits per pixel
? 0
$ plumagectl image bw noise.bmp bw.bmp
bw.bmp: 29 x 23, 24 bits per pixel
? 0
$ plumagectl image resample noise.bmp wide.bmp --width 64 --height 16
wide.bmp: 64 x 16, 24 bits per pixel
? 0
$ /usr/bin/identify -format "%f: %w x %h, %[type], %k colours\n" gray.bmp bw.bmp wide.bmp
gray.bmp: 29 x 23, Grayscale, 210 colours
bw.bmp: 29 x 23, Bilevel, 2 colours
wide.bmp: 64 x 16, TrueColor, 1024 colours
? 0
$ /usr/bin/sha256sum gray.bmp bw.bmp wide.bmp
c708b2b731fc964e8c3c8d8ead81441ad44215dd6f0e9788ee090670afab686c  gray.bmp
9afc30ff1e1539e283ae98da7c34a83a262b3aa44a14882c97922fe4fc807c29  bw.bmp
b62357418020e63ef03920d7475dcb8334bff68f2c9d6caaa9d323acc63ce7e6  wide.bmp
? 0

# The octree palette of a picture; too few colours for its eight octants
# are told once, with the count.
$ plumagectl palette optimal noise.bmp --colours 16 --levels 6 opt.bin
opt.bin: 15 colours
? 0
$ plumagectl palette optimal noise.bmp --colours 2 two.pal --jasc
two.pal: 8 colours
! plumagectl: Error in reducing nodes (665 times)
? 0
$ /usr/bin/sha256sum opt.bin two.pal
21aa31d0bc1e3c8d81d4d756d5accfc4eb32338dd0b22f0f73a6e6de66f6102f  opt.bin
e82cbe94b0d7c1dcf2cad29ead0cd915b30c6fc5b408f501268d873caa0a0c75  two.pal
? 0
$ /usr/bin/wc -c opt.bin
64 opt.bin
? 0

# Failures are one line and change nothing.
$ write text.bmp hello
? 0
$ /usr/bin/dd if=noise.bmp of=cut.bmp bs=60 count=1 status=none
? 0
$ plumagectl image save absent.bmp o.bmp --depth 8
! plumagectl: cannot read absent.bmp: it does not exist
? 1
$ plumagectl image save text.bmp o.bmp --depth 8
! plumagectl: text.bmp: not a BMP or PNG picture
? 1
$ plumagectl image save cut.bmp o.bmp --depth 8
! plumagectl: cut.bmp: BMP: the pixel data is cut short (BMP: needs 2023 bytes at offset 54 of 60)
? 1
$ plumagectl image save noise.bmp o.bmp --depth 8 --method 1
! plumagectl: --method 1 applies a palette: name one with --palette
? 1
$ plumagectl image save noise.bmp o.bmp --depth 8 --palette text.bmp
! plumagectl: text.bmp: not a binary palette file (a count from 1 to 4097 and its colours); --jasc reads a JASC palette
? 1
$ plumagectl image save noise.bmp no/dir/o.bmp --depth 8
! plumagectl: cannot create no/dir/o.bmp: No such file or directory
? 1
$ plumagectl image save noise.bmp o.bmp --depth 16
! plumagectl: --depth: 16 not in {1,4,8,24} (see plumagectl --help)
? 2
$ plumagectl palette create mono no/dir/p.pal --jasc
! plumagectl: cannot create no/dir/p.pal: Path not found
? 1
$ plumagectl image gray "$DIR/missing.bmp" grey.bmp
! plumagectl: cannot read $DIR/missing.bmp: it does not exist
? 1
$ /usr/bin/ls
16.bin
alpha.bmp
alpha.png
bw.bmp
cut.bmp
gray.bmp
halftone.bin
halftone.bmp
home
mono.bmp
mono.pal
noise.bmp
opt.bin
out1.bmp
out24.bmp
out4.bmp
out8.bmp
out8m2.bmp
p16.bmp
run
text.bmp
two.pal
websafe.pal
wide.bmp
? 0
