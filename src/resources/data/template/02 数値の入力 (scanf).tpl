/* 整数を 2 つ読み込んで、その和を表示する */
#include <stdio.h>

int main(void)
{
    int a, b;

    printf("整数を 2 つ入力してください: ");
    /* scanf は読み込めた個数を返す。2 でなければ入力の誤り */
    if (scanf("%d %d", &a, &b) != 2) {
        printf("整数を入力してください。\n");
        return 1;
    }
    printf("%d + %d = %d\n", a, b, a + b);
    return 0;
}
