;program hi;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "hi",0

begin:

	ld hl, (x)
	inc hl
	ld (x), hl

	ret


description:
	.db "hi",0

.end
END
