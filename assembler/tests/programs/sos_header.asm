;program hi;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d

#include "sos.inc"
.list
	.org 9327h
	ccf
	jr start_of_program
	.dw	$0000
	.dw	description

start_of_program:

	ld hl, (x)
	dec hl
	ld (x), hl

	ret


description:
	.db "hi",0

.end
END
