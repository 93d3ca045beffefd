;program crlf;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#define	caféÿ 33383d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld hl, (x)
	inc hl
	ld (x), hl
;// comment

	ld hl, (caféÿ)
	inc hl
	ld (caféÿ), hl

	ret


description:
	.db "crlf",0

.end
END
