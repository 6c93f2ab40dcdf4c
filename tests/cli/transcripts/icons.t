# plumagectl icons: the listing as the picker labels it, the drawings as the
# picker makes them (ImageMagick's signature of their pixels), and the
# shell's small icon. $PE holds real Windows files made with mingw-w64.

# Every icon of a 64-bit library, with the image the picker draws.
$ plumagectl icons $PE/icons40_64.dll
 0  icon APPLE, image 1 of 1: 32 x 32, 8 bpp
 1  icon BANANA, image 1 of 1: 32 x 32, 8 bpp
 2  icon CHERRY, image 1 of 1: 48 x 48, 32 bpp, drawn at 32 x 32
 3  icon DATE, image 1 of 1: 32 x 32, 1 bpp
 4  icon FIG, image 1 of 1: 32 x 32, 8 bpp
 5  icon GRAPE, image 1 of 1: 32 x 32, 32 bpp
 6  icon KIWI, image 1 of 1: 32 x 32, 1 bpp
 7  icon LEMON, image 1 of 1: 32 x 32, 1 bpp
 8  icon LIME, image 2 of 3: 32 x 32, 8 bpp
 9  icon MANGO, image 1 of 1: 16 x 16, 32 bpp, drawn at 32 x 32
 10  icon OLIVE, image 1 of 1: 32 x 32, 32 bpp
 11  icon PEACH, image 1 of 1: 48 x 48, 1 bpp, drawn at 32 x 32
 12  icon PEAR, image 1 of 1: 16 x 16, 8 bpp, drawn at 32 x 32
 13  icon PLUM, image 1 of 1: 32 x 32, 32 bpp
 14  icon QUINCE, image 2 of 3: 32 x 32, 1 bpp
 15  icon RAISIN, image 1 of 1: 32 x 32, 8 bpp
 16  icon SLOE, image 1 of 1: 32 x 32, 32 bpp
 17  icon TANGERINE, image 1 of 1: 32 x 32, 1 bpp
 18  icon UGLI, image 1 of 1: 48 x 48, 8 bpp, drawn at 32 x 32
 19  icon ZEBRA, image 2 of 3: 32 x 32, 1 bpp
 20  icon #1, image 1 of 1: 16 x 16, 24 bpp, drawn at 32 x 32
 21  icon #2, image 2 of 3: 32 x 32, 32 bpp PNG
 22  icon #3, image 1 of 1: 16 x 16, 4 bpp, drawn at 32 x 32
 23  icon #5, image 1 of 1: 32 x 32, 32 bpp PNG
 24  icon #7, image 1 of 3: 32 x 32, 4 bpp
 25  icon #8, image 1 of 1: 32 x 32, 24 bpp
 26  icon #13, image 1 of 1: 32 x 32, 32 bpp PNG
 27  icon #18, image 3 of 3: 32 x 32, 24 bpp
 28  icon #31, image 2 of 3: 32 x 32, 4 bpp
 29  icon #45, image 1 of 1: 32 x 32, 4 bpp
 30  icon #64, image 1 of 1: 32 x 32, 4 bpp
 31  icon #77, image 1 of 1: 48 x 48, 4 bpp, drawn at 32 x 32
 32  icon #99, image 1 of 1: 32 x 32, 4 bpp
 33  icon #222, image 1 of 1: 32 x 32, 24 bpp
 34  icon #250, image 1 of 1: 32 x 32, 32 bpp PNG
 35  icon #300, image 1 of 1: 48 x 48, 24 bpp, drawn at 32 x 32
 36  icon #512, image 1 of 1: 48 x 48, 32 bpp PNG, drawn at 32 x 32
 37  icon #640, image 2 of 3: 32 x 32, 32 bpp PNG
 38  icon #1000, image 3 of 3: 32 x 32, 24 bpp
 39  icon #4096, image 1 of 1: 32 x 32, 24 bpp
? 0

# An .ico file: the 32 x 32 image is the one drawn.
$ plumagectl icons "$DATA/two.ico"
 0  image 2 of 2: 32 x 32, 1 bpp
? 0

# Each drawing exported, named after the file and the index.
$ plumagectl icons $PE/icons40_32.dll --export "$DIR/out/drawings"
 0  icon APPLE, image 1 of 1: 32 x 32, 8 bpp
 1  icon BANANA, image 1 of 1: 32 x 32, 8 bpp
 2  icon CHERRY, image 1 of 1: 48 x 48, 32 bpp, drawn at 32 x 32
 3  icon DATE, image 1 of 1: 32 x 32, 1 bpp
 4  icon FIG, image 1 of 1: 32 x 32, 8 bpp
 5  icon GRAPE, image 1 of 1: 32 x 32, 32 bpp
 6  icon KIWI, image 1 of 1: 32 x 32, 1 bpp
 7  icon LEMON, image 1 of 1: 32 x 32, 1 bpp
 8  icon LIME, image 2 of 3: 32 x 32, 8 bpp
 9  icon MANGO, image 1 of 1: 16 x 16, 32 bpp, drawn at 32 x 32
 10  icon OLIVE, image 1 of 1: 32 x 32, 32 bpp
 11  icon PEACH, image 1 of 1: 48 x 48, 1 bpp, drawn at 32 x 32
 12  icon PEAR, image 1 of 1: 16 x 16, 8 bpp, drawn at 32 x 32
 13  icon PLUM, image 1 of 1: 32 x 32, 32 bpp
 14  icon QUINCE, image 2 of 3: 32 x 32, 1 bpp
 15  icon RAISIN, image 1 of 1: 32 x 32, 8 bpp
 16  icon SLOE, image 1 of 1: 32 x 32, 32 bpp
 17  icon TANGERINE, image 1 of 1: 32 x 32, 1 bpp
 18  icon UGLI, image 1 of 1: 48 x 48, 8 bpp, drawn at 32 x 32
 19  icon ZEBRA, image 2 of 3: 32 x 32, 1 bpp
 20  icon #1, image 1 of 1: 16 x 16, 24 bpp, drawn at 32 x 32
 21  icon #2, image 2 of 3: 32 x 32, 32 bpp PNG
 22  icon #3, image 1 of 1: 16 x 16, 4 bpp, drawn at 32 x 32
 23  icon #5, image 1 of 1: 32 x 32, 32 bpp PNG
 24  icon #7, image 1 of 3: 32 x 32, 4 bpp
 25  icon #8, image 1 of 1: 32 x 32, 24 bpp
 26  icon #13, image 1 of 1: 32 x 32, 32 bpp PNG
 27  icon #18, image 3 of 3: 32 x 32, 24 bpp
 28  icon #31, image 2 of 3: 32 x 32, 4 bpp
 29  icon #45, image 1 of 1: 32 x 32, 4 bpp
 30  icon #64, image 1 of 1: 32 x 32, 4 bpp
 31  icon #77, image 1 of 1: 48 x 48, 4 bpp, drawn at 32 x 32
 32  icon #99, image 1 of 1: 32 x 32, 4 bpp
 33  icon #222, image 1 of 1: 32 x 32, 24 bpp
 34  icon #250, image 1 of 1: 32 x 32, 32 bpp PNG
 35  icon #300, image 1 of 1: 48 x 48, 24 bpp, drawn at 32 x 32
 36  icon #512, image 1 of 1: 48 x 48, 32 bpp PNG, drawn at 32 x 32
 37  icon #640, image 2 of 3: 32 x 32, 32 bpp PNG
 38  icon #1000, image 3 of 3: 32 x 32, 24 bpp
 39  icon #4096, image 1 of 1: 32 x 32, 24 bpp
? 0
$ /usr/bin/ls "$DIR/out/drawings"
icons40_32_0.png
icons40_32_1.png
icons40_32_10.png
icons40_32_11.png
icons40_32_12.png
icons40_32_13.png
icons40_32_14.png
icons40_32_15.png
icons40_32_16.png
icons40_32_17.png
icons40_32_18.png
icons40_32_19.png
icons40_32_2.png
icons40_32_20.png
icons40_32_21.png
icons40_32_22.png
icons40_32_23.png
icons40_32_24.png
icons40_32_25.png
icons40_32_26.png
icons40_32_27.png
icons40_32_28.png
icons40_32_29.png
icons40_32_3.png
icons40_32_30.png
icons40_32_31.png
icons40_32_32.png
icons40_32_33.png
icons40_32_34.png
icons40_32_35.png
icons40_32_36.png
icons40_32_37.png
icons40_32_38.png
icons40_32_39.png
icons40_32_4.png
icons40_32_5.png
icons40_32_6.png
icons40_32_7.png
icons40_32_8.png
icons40_32_9.png
? 0
$ /usr/bin/identify -format "%f %w x %h %[opaque] %k %#\n" "$DIR/out/drawings/icons40_32_0.png" "$DIR/out/drawings/icons40_32_5.png" "$DIR/out/drawings/icons40_32_21.png" "$DIR/out/drawings/icons40_32_39.png"
icons40_32_0.png 32 x 32 true 435 f5f183968f773250e37b7998d506edcea95810f77000357e460e089baef7fb74
icons40_32_5.png 32 x 32 true 1017 bf2aa30ad5d0a7dd0245fc74da5fab297df7ea4baa2fbca6755572cb7b3c7264
icons40_32_21.png 32 x 32 true 677 eea188de1c2a0026452c1c176c167ad7c58f850d28d526fb936b4d16f3724df6
icons40_32_39.png 32 x 32 true 1024 7f8c14554d50587ed660f2d3e368b91645454a21c0e4d9b417053fcc5b1eb408
? 0
# Two images of one size: the first is drawn.
$ plumagectl icons "$DATA/band.ico" --export "$DIR"
 0  image 1 of 2: 32 x 32, 32 bpp
? 0
$ /usr/bin/identify -format "%f %w x %h %[opaque] %k %#\n" "$DIR/band_0.png"
band_0.png 32 x 32 true 1024 ef05123a8b1d289da64fc8c46f38914e55c229534fc67db5ba823a49eb273b9e
? 0

# The small icon the shell shows for a file.
$ plumagectl icons --small $PE/app.exe --export "$DIR"
small icon: icon MAINICON, image 1 of 2: 16 x 16, 8 bpp
? 0
$ /usr/bin/identify -format "%f %w x %h %[opaque] %k %#\n" "$DIR/app_small.png"
app_small.png 16 x 16 true 187 a984500c56f80ad5090d904f385a389030c73a06224a1c0aa81c469bee729821
? 0
$ plumagectl icons --small $PE/noicons.exe
small icon: the generic application icon
? 0
$ plumagectl icons --small "$DATA/two.ico"
small icon: image 1 of 2: 16 x 16, 4 bpp
? 0

# A file without icons is a clear failure.
$ write "$DIR/notes.txt" hi
? 0
$ plumagectl icons $PE/noicons.exe
! plumagectl: No icon was found in this file! ($PE/noicons.exe: no icon at index 0 (the file holds 0 icons))
? 1
$ plumagectl icons "$DIR/notes.txt"
! plumagectl: No icon was found in this file! ($DIR/notes.txt: not an icon file, executable or library)
? 1
$ plumagectl icons "$DIR/gone.ico"
! plumagectl: No icon was found in this file! ($DIR/gone.ico: no such file)
? 1
$ plumagectl icons --small "$DIR/notes.txt"
! plumagectl: No icon was found in this file! ($DIR/notes.txt: not an icon file, executable or library)
? 1
$ plumagectl icons "$DATA/two.ico" --export "$DIR/notes.txt"
! plumagectl: cannot create the folder $DIR/notes.txt
? 1
